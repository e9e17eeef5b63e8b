// Blocks for the physics library: usable like malloc's, and the large ones in huge pages.
#include "LargeBlocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {
bool hugePagesOnOffer()
{
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(mode, text);
    return text.find("[never]") == std::string::npos && !text.empty();
}

// The kibibytes of the mapping holding `address` that are backed by huge pages.
long hugeKibAt(const void* address)
{
    std::ifstream maps("/proc/self/smaps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    std::string line;
    while (std::getline(maps, line)) {
        std::uintptr_t from = 0, to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= at && at < to;
        } else if (inside && line.rfind("AnonHugePages:", 0) == 0) {
            return std::stol(line.substr(14));
        }
    }
    return -1;
}
}

TEST(LargeBlocksTest, BlocksOfEverySizeHoldWhatIsWrittenAndGoBack)
{
    for (const std::size_t size : {std::size_t(1), std::size_t(4096), std::size_t(8) << 20, std::size_t(33) << 20}) {
        unsigned char* block = static_cast<unsigned char*>(LargeBlocks::allocate(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << size;
        std::memset(block, 0xA5, size);
        EXPECT_EQ(block[0], 0xA5);
        EXPECT_EQ(block[size - 1], 0xA5);
        LargeBlocks::release(block);
    }
    LargeBlocks::release(nullptr);
}

TEST(LargeBlocksTest, ALargeBlockTouchedWholeLiesInHugePages)
{
    if (!hugePagesOnOffer())
        GTEST_SKIP() << "the kernel offers no transparent huge pages";
    const std::size_t size = std::size_t(64) << 20;
    char* block = static_cast<char*>(LargeBlocks::allocate(size));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, size);
    // All but the partial huge pages at either end.
    EXPECT_GE(hugeKibAt(block), long(size / 1024) - 4096);
    LargeBlocks::release(block);
}
