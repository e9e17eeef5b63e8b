// What resizing the window costs in memory: the GUI's fonts are made per size step and kept, all
// those this screen can need once the window first changes size, so a window dragged through many
// sizes grows the process in its first resizes only.
#include "GameHarness.h"

#include <OgreRenderWindow.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {
double residentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long kib = 0;
        if (key == "VmRSS:" && status >> kib)
            return double(kib) / 1024;
        status.ignore(256, '\n');
    }
    return -1;
}

struct ResizeRow
{
    const char* name;
    std::vector<std::pair<unsigned int, unsigned int>> sizes;
    int cycles;
    double allMiB;      // growth over every resize
    double lastHalfMiB; // growth over the second half of them
};

// Sizes a player meets: the start size, common window sizes, full screen on this display, odd
// sizes from dragging an edge.
const std::vector<std::pair<unsigned int, unsigned int>> TEN_SIZES = {
    {800, 600}, {1024, 768}, {640, 480}, {1000, 700}, {900, 650},
    {700, 520}, {960, 720}, {820, 610}, {1010, 760}, {720, 540}};

class GuiMemoryTest : public ::testing::TestWithParam<ResizeRow>
{
protected:
    // One settled size: the window resized, the GUI told after its settle time, one frame drawn
    // with the menu's text on it.
    void settleAt(unsigned int width, unsigned int height)
    {
        TestGame& game = harness.game();
        game.mRenderWindow->resize(width, height);
        game.windowResized(game.mRenderWindow);
        harness.frames(4, 0.1f);
        harness.render();
    }

    GameHarness harness;
};
}

TEST_P(GuiMemoryTest, ResizingCostsMemoryInTheFirstResizesOnly)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer holds freed memory back, so the resident size says nothing here";
#endif
    const ResizeRow& row = GetParam();
    TestGame& game = harness.game();
    const unsigned int startWidth = game.mRenderWindow->getWidth();
    const unsigned int startHeight = game.mRenderWindow->getHeight();
    // The menu drawn at the start size; the first resize has the game make every font step this
    // screen can need, one a frame, and so counts here with all it costs.
    harness.frames(4, 0.1f);
    harness.render();

    const int resizes = row.cycles * static_cast<int>(row.sizes.size());
    const double start = residentMiB();
    double half = start;
    for (int i = 0; i < resizes; ++i) {
        if (i == resizes / 2)
            half = residentMiB();
        const auto& size = row.sizes[i % row.sizes.size()];
        settleAt(size.first, size.second);
    }
    const double end = residentMiB();
    settleAt(startWidth, startHeight);

    RecordProperty("growth_all_mib", std::to_string(end - start));
    RecordProperty("growth_last_half_mib", std::to_string(end - half));
    std::printf("%d resizes through %zu sizes: +%.1f MiB in all, +%.1f MiB over the last %d\n", resizes,
                row.sizes.size(), end - start, end - half, resizes - resizes / 2);
    EXPECT_LT(end - start, row.allMiB);
    EXPECT_LT(end - half, row.lastHalfMiB);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GuiMemoryTest,
                         ::testing::Values(ResizeRow{"TenSizes", TEN_SIZES, 20, 40, 2},
                                           ResizeRow{"TwoSizesOneStep", {{800, 600}, {820, 610}}, 50, 40, 2}),
                         [](const ::testing::TestParamInfo<ResizeRow>& info) { return info.param.name; });
