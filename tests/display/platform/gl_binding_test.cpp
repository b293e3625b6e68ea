#include "display/platform/gl_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "tests/support/panel_pair.h"

namespace {

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

}  // namespace

// Runs only with a Mesa driver that cannot load (see tests/CMakeLists.txt): libEGL then warns on
// every attempt to open a display, so attempts on every render would flood stderr.
TEST(GlBindingWithBrokenDriver, DISABLED_FailedDisplayIsRetriedNowAndThenAndRecoversWhenTheDriverLoads) {
    PanelPair panels(20, 20);
    testing::internal::CaptureStderr();
    panels.left.Render();
    const std::string first = testing::internal::GetCapturedStderr();
    ASSERT_GT(Lines(first), 1) << "libEGL did not warn; the driver has not failed as this test needs:\n" << first;
    EXPECT_NE(first.find("ramulon: no EGL display could be initialised"), std::string::npos) << first;

    testing::internal::CaptureStderr();
    for (int i = 0; i < 50; ++i) panels.left.Render();
    const std::string later = testing::internal::GetCapturedStderr();
    // Fifty renders fit in one retry interval many times over; even a slow run retries once at most.
    EXPECT_LT(Lines(later), Lines(first)) << later;
    EXPECT_EQ(later.find("ramulon:"), std::string::npos) << later;
    EXPECT_FALSE(panels.left.pixelFormatSet);

    unsetenv("MESA_LOADER_DRIVER_OVERRIDE");
    unsetenv("GALLIUM_DRIVER");
    panels.display.SetRetryInterval(std::chrono::milliseconds(0));
    panels.left.Render();
    EXPECT_TRUE(panels.left.pixelFormatSet);
    EXPECT_TRUE(panels.right.pixelFormatSet);
}
