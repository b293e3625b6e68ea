#define QTEST_QPA_MOUSE_HANDLING
#include "display/platform/control_widget.h"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "display/platform/dialog_units.h"
#include "display/platform/window_object.h"

namespace {

struct Move {
    int flags;
    platform::Point point;
};

class RecordingObject : public platform::WindowObject {
public:
    void OnMouseMove(int flags, platform::Point point) override { moves.push_back({flags, point}); }
    void OnPaint() override {
        ++paints;
        current = true;
    }
    bool HasCurrentFrame() override { return current; }
    std::vector<Move> moves;
    int paints = 0;
    bool current = false;
};

}  // namespace

TEST(ControlWidget, QtButtonsAndModifiersBecomeKeyFlags) {
    struct Case {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int flags;
    };
    const Case cases[] = {
        {Qt::NoButton, Qt::NoModifier, 0},
        {Qt::LeftButton, Qt::NoModifier, 0x01},
        {Qt::RightButton, Qt::NoModifier, 0x02},
        {Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier, 0x07},
        {Qt::MiddleButton, Qt::ControlModifier, 0x18},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::MouseKeyFlags(c.buttons, c.modifiers), c.flags);
}

TEST(ControlWidget, DragThatLeavesOnePanelContinuesInThePanelUnderThePointer) {
    QWidget host;
    host.resize(200, 100);
    auto* left = new platform::ControlWidget(&host);
    auto* right = new platform::ControlWidget(&host);
    left->setGeometry(0, 0, 80, 80);
    right->setGeometry(100, 0, 80, 80);
    RecordingObject leftObject, rightObject;
    leftObject.Attach(*left);
    rightObject.Attach(*right);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    QTest::mousePress(left, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(left, QPoint(20, 10));
    QTest::mouseMove(left, QPoint(110, 10));  // over the right panel, while Qt grabs for the left
    QTest::mouseMove(left, QPoint(90, 10));   // over the gap between the panels: nobody's move
    QTest::mouseRelease(left, Qt::LeftButton, Qt::NoModifier, QPoint(90, 10));

    ASSERT_FALSE(leftObject.moves.empty());
    EXPECT_EQ(leftObject.moves.back().point.x, 20);
    EXPECT_EQ(leftObject.moves.back().flags & platform::kMouseLeftButton, platform::kMouseLeftButton);
    // The right panel first sees the pointer arrive with the button up, then the move itself.
    ASSERT_EQ(rightObject.moves.size(), 2u);
    EXPECT_EQ(rightObject.moves[0].flags, 0);
    EXPECT_EQ(rightObject.moves[1].flags, platform::kMouseLeftButton);
    for (const Move& move : rightObject.moves) {
        EXPECT_EQ(move.point.x, 10);
        EXPECT_EQ(move.point.y, 10);
    }
    leftObject.Detach();
    rightObject.Detach();
}

TEST(ControlWidget, APaintAsksForARenderOnlyWhenTheFrameIsNotCurrent) {
    QWidget host;
    host.resize(50, 50);
    auto* control = new platform::ControlWidget(&host);
    control->setGeometry(0, 0, 50, 50);
    RecordingObject object;
    object.Attach(*control);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QCoreApplication::processEvents();
    EXPECT_EQ(object.paints, 1);

    control->ShowFrameNow();
    control->ShowFrameLater();
    QCoreApplication::processEvents();
    EXPECT_EQ(object.paints, 1);
    object.current = false;
    control->repaint();
    EXPECT_EQ(object.paints, 2);
    object.Detach();
}

TEST(DialogUnits, ConvertWithRoundingHalfAwayFromZero) {
    const platform::DialogBaseUnits units{6, 13};
    EXPECT_EQ(platform::DialogUnitsToPixels(units, 19, 18, 205, 222), QRect(29, 29, 308, 361));
    EXPECT_EQ(platform::DialogUnitsToPixels(units, 277, 257, 64, 14), QRect(416, 418, 96, 23));
    // -4.5 and -6.5 pixels, and 6.5 for the height.
    EXPECT_EQ(platform::DialogUnitsToPixels(units, -3, -4, 2, 4), QRect(-5, -7, 3, 7));
}
