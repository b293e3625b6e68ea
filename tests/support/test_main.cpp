// Entry point of every test program: Qt's offscreen platform and a writable shader cache are set
// before the application object exists, so widget and GL tests run without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("MESA_SHADER_CACHE_DIR", RAMULON_SHADER_CACHE, 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ramulon"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
