#include "display/offscreen_image.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "display/gl_view.h"
#include "display/memory_dc_pool.h"
#include "display/platform/bitmap.h"
#include "tests/support/panel_pair.h"

namespace {

// The image's bitmap, seen through a borrowed context as the copy sees it.
const platform::Bitmap* SelectedThroughContext(COffscreenImage& image) {
    const platform::Bitmap* selected = image.BorrowDC()->selected;
    image.ReturnDC();
    return selected;
}

}  // namespace

TEST(OffscreenImage, RowsArePaddedTo32BitsAndWalkedTopDownWhicheverWayTheyAreStored) {
    const struct {
        int width, height, bitsPerPixel, stride;
    } cases[] = {{307, 7, 24, 924},  {308, 7, 24, 924}, {1, 7, 24, 4},     {2, 7, 24, 8},
                 {307, 7, 32, 1228}, {5, 7, 32, 20},    {307, -4, 24, 924}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.bitsPerPixel);
        const int rows = std::abs(c.height);
        COffscreenImage image;
        ASSERT_TRUE(image.Create(c.width, c.height, c.bitsPerPixel));
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), rows);
        EXPECT_EQ(image.BitsPerPixel(), c.bitsPerPixel);
        const platform::Bitmap* memory = SelectedThroughContext(image);
        ASSERT_NE(memory, nullptr);
        EXPECT_EQ(memory->stride, c.stride);
        EXPECT_EQ(memory->height, c.height);
        // A positive height stores the bottom row first: the pitch walks backwards from the highest row.
        EXPECT_EQ(image.Pitch(), c.height > 0 ? -c.stride : c.stride);
        EXPECT_EQ(image.Bits(), memory->pixels.get() + (c.height > 0 ? (rows - 1) * c.stride : 0));
    }
}

TEST(OffscreenImage, FailedCreateLeavesTheImageEmpty) {
    const struct {
        int width, height, bitsPerPixel;
    } cases[] = {{0, 10, 24},      {10, 0, 24}, {-5, 10, 24}, {10, 10, 7}, {1 << 20, 1 << 20, 24},
                 {INT_MAX, 1, 32}, {0, 0, 0}};
    const int bitmapsBefore = platform::LiveBitmapCount();
    for (const auto& c : cases) {
        COffscreenImage image;
        EXPECT_FALSE(image.Create(c.width, c.height, c.bitsPerPixel)) << c.width << " x " << c.height;
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Height(), 0);
        EXPECT_EQ(image.Pitch(), 0);
        EXPECT_EQ(image.BitsPerPixel(), 0);
        EXPECT_EQ(image.Bits(), nullptr);
        EXPECT_EQ(platform::LiveBitmapCount(), bitmapsBefore);
    }
}

TEST(OffscreenImage, DestructionFreesTheBitmap) {
    const int before = platform::LiveBitmapCount();
    {
        COffscreenImage image;
        ASSERT_TRUE(image.Create(10, 10, 24));
        EXPECT_EQ(platform::LiveBitmapCount(), before + 1);
    }
    EXPECT_EQ(platform::LiveBitmapCount(), before);

    // Through the base pointer, as owners of images from CreateImage delete them.
    std::unique_ptr<COffscreenImage> owned = std::make_unique<COffscreenImage>();
    ASSERT_TRUE(owned->Create(3, 3, 24));
    owned.reset();
    EXPECT_EQ(platform::LiveBitmapCount(), before);
}

TEST(OffscreenImage, NestedBorrowsShareOneContextReturnedAtTheLastReturn) {
    CMemoryDCPool& pool = CMemoryDCPool::Instance();
    COffscreenImage image;
    ASSERT_TRUE(image.Create(8, 8, 24));

    platform::MemoryContext* first = image.BorrowDC();
    ASSERT_NE(first, nullptr);
    platform::MemoryContext* second = image.BorrowDC();
    EXPECT_EQ(second, first);
    const platform::Bitmap* selected = first->selected;
    EXPECT_NE(selected, nullptr);

    image.ReturnDC();
    EXPECT_EQ(first->selected, selected);  // still lent
    for (int slot = 0; slot < CMemoryDCPool::kSlotCount; ++slot) EXPECT_NE(pool.Slot(slot), first);

    image.ReturnDC();
    EXPECT_EQ(pool.Slot(0), first);
    EXPECT_EQ(first->selected, nullptr);  // what was there before is selected again

    // The next borrow, by any image, takes the context from slot 0 again.
    COffscreenImage other;
    ASSERT_TRUE(other.Create(4, 4, 24));
    const int contexts = platform::LiveMemoryContextCount();
    EXPECT_EQ(other.BorrowDC(), first);
    EXPECT_EQ(platform::LiveMemoryContextCount(), contexts);
    other.ReturnDC();
}

TEST(MemoryDCPool, TakesFromTheFrontMakesANewContextWhenEmptyAndDeletesWhatFallsOffTheEnd) {
    const int before = platform::LiveMemoryContextCount();
    {
        CMemoryDCPool pool;
        platform::MemoryContext* made = pool.Take();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(platform::LiveMemoryContextCount(), before + 1);
        pool.GiveBack(made);
        EXPECT_EQ(pool.Slot(0), made);
        EXPECT_EQ(pool.Take(), made);
        EXPECT_EQ(pool.Slot(0), nullptr);
        EXPECT_EQ(platform::LiveMemoryContextCount(), before + 1);
        platform::DeleteMemoryContext(made);

        platform::MemoryContext* contexts[5];
        for (platform::MemoryContext*& context : contexts) context = platform::CreateMemoryContext();
        ASSERT_EQ(platform::LiveMemoryContextCount(), before + 5);

        for (int i = 0; i < 4; ++i) pool.GiveBack(contexts[i]);
        for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(pool.Slot(slot), contexts[3 - slot]) << "slot " << slot;
        EXPECT_EQ(platform::LiveMemoryContextCount(), before + 5);

        pool.GiveBack(contexts[4]);
        for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(pool.Slot(slot), contexts[4 - slot]) << "slot " << slot;
        EXPECT_EQ(platform::LiveMemoryContextCount(), before + 4);  // contexts[0] was pushed out and deleted

        // Taking empties slots from the front; a return then fills the first empty slot it reaches.
        EXPECT_EQ(pool.Take(), contexts[4]);
        EXPECT_EQ(pool.Take(), contexts[3]);
        EXPECT_EQ(pool.Slot(0), nullptr);
        EXPECT_EQ(pool.Slot(1), nullptr);
        pool.GiveBack(contexts[4]);
        EXPECT_EQ(pool.Slot(0), contexts[4]);
        EXPECT_EQ(pool.Slot(1), nullptr);
        EXPECT_EQ(pool.Slot(2), contexts[2]);
        EXPECT_EQ(pool.Slot(3), contexts[1]);
        platform::DeleteMemoryContext(contexts[3]);
    }
    EXPECT_EQ(platform::LiveMemoryContextCount(), before);  // the pool deletes what it holds
}

TEST(GLViewImage, CreateImageScalesTheClientSizeByTruncation) {
    PanelPair panels(307, 333, false);
    const struct {
        double scale;
        bool thirtyTwoBits;
        int width, height, bitsPerPixel, pitch;
    } cases[] = {{0.5, false, 153, 166, 24, -460}, {1.0, true, 307, 333, 32, -4 * 307}, {0.0, false, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        const std::unique_ptr<COffscreenImage> image = panels.left.CreateImage(c.scale, c.thirtyTwoBits);
        EXPECT_EQ(image->Width(), c.width) << c.scale;
        EXPECT_EQ(image->Height(), c.height) << c.scale;
        EXPECT_EQ(image->BitsPerPixel(), c.bitsPerPixel) << c.scale;
        EXPECT_EQ(image->Pitch(), c.pitch) << c.scale;
        EXPECT_EQ(image->Bits() == nullptr, c.width == 0) << c.scale;
    }
}

namespace {

// Fills the top rows of the panel with one colour and the rest with another.
struct SplitFill : IRenderable {
    void Draw() override {
        ++draws;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);  // blue below
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        // GL counts rows from the bottom: the top topRows rows start at height - topRows.
        glScissor(0, viewport[3] - topRows, viewport[2], topRows);
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);  // red above
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    int topRows = 0;
    int draws = 0;
};

bool IsRed(const unsigned char* pixel) { return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 255; }
bool IsBlue(const unsigned char* pixel) { return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0; }

// Rows from the top that are red in every pixel; -1 if a row is neither all red nor all blue, or red
// follows blue.
int RedRowsAbove(const COffscreenImage& image, int bytesPerPixel) {
    int red = 0;
    bool seenBlue = false;
    for (int y = 0; y < image.Height(); ++y) {
        const unsigned char* row = image.Bits() + y * image.Pitch();
        int redPixels = 0, bluePixels = 0;
        for (int x = 0; x < image.Width(); ++x) {
            redPixels += IsRed(row + x * bytesPerPixel);
            bluePixels += IsBlue(row + x * bytesPerPixel);
        }
        if (redPixels == image.Width() && !seenBlue) {
            ++red;
        } else if (bluePixels == image.Width()) {
            seenBlue = true;
        } else {
            return -1;
        }
    }
    return red;
}

}  // namespace

TEST(GLViewImage, CaptureCopiesTheLatestRenderTopRowFirstAndScalesItOntoASmallerImage) {
    PanelPair panels(307, 333, false);
    SplitFill fill;
    fill.topRows = 100;
    panels.left.AppendRenderable(&fill);
    panels.left.Render();
    ASSERT_EQ(fill.draws, 1);

    const std::unique_ptr<COffscreenImage> image = panels.left.CreateImage(1.0, false);
    panels.left.Capture(*image);
    EXPECT_EQ(fill.draws, 1);  // a capture copies, it does not render
    EXPECT_EQ(RedRowsAbove(*image, 3), 100);
    EXPECT_TRUE(IsRed(image->Bits()));
    EXPECT_TRUE(IsBlue(image->Bits() + (image->Height() - 1) * image->Pitch() + 3 * (image->Width() - 1)));
    // The 32-bit layout takes the same picture, one pixel every four bytes.
    const std::unique_ptr<COffscreenImage> wide = panels.left.CreateImage(1.0, true);
    panels.left.Capture(*wide);
    EXPECT_EQ(RedRowsAbove(*wide, 4), 100);

    fill.topRows = 166;
    panels.left.Render();
    panels.left.Capture(*image);
    EXPECT_EQ(RedRowsAbove(*image, 3), 166);
    const std::unique_ptr<COffscreenImage> half = panels.left.CreateImage(0.5, false);
    ASSERT_EQ(half->Height(), 166);
    panels.left.Capture(*half);
    const int red = RedRowsAbove(*half, 3);
    EXPECT_GE(red, 82);
    EXPECT_LE(red, 84);
}

TEST(GLViewImage, CaptureIntoAnEmptyImageChangesNothing) {
    PanelPair panels(40, 30, false);
    SplitFill fill;
    fill.topRows = 10;
    panels.left.AppendRenderable(&fill);
    panels.left.Render();
    COffscreenImage empty;
    panels.left.Capture(empty);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
    EXPECT_EQ(empty.Bits(), nullptr);
    // The borrowed context went back to the pool with nothing left selected in it.
    platform::MemoryContext* returned = CMemoryDCPool::Instance().Slot(0);
    ASSERT_NE(returned, nullptr);
    EXPECT_EQ(returned->selected, nullptr);
}
