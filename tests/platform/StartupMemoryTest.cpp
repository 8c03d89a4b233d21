// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/StartupMemory.h"

namespace tolvane {
namespace {

#ifdef __GLIBC__
// The process's anonymous memory (kB) as the system counts it: what it holds for this process
// alone.
long anonymousKib() {
    std::ifstream rollup("/proc/self/smaps_rollup");
    for (std::string line; std::getline(rollup, line);)
        if (line.rfind("Anonymous:", 0) == 0) return std::stol(line.substr(10));
    return -1;
}

// What starting leaves behind: many small blocks written and freed, below one still in use, so
// that free() alone cannot give the heap back (only its top may shrink by itself).
TEST(StartupMemoryTest, FreedHeapGoesBackAndWhatIsInUseStays) {
    constexpr size_t kBlock = 16 * 1024;  // below the allocator's own mapping threshold
    constexpr size_t kBlocks = 40 * 64;   // 40 MiB
    std::vector<char*> blocks;
    for (size_t i = 0; i < kBlocks; ++i) {
        blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
        std::memset(blocks.back(), 0x5A, kBlock);
    }
    // The last block, above all the others, stays in use.
    char* inUse = blocks.back();
    blocks.pop_back();
    std::strcpy(inUse, "铃声计划");
    for (char* block : blocks) std::free(block);
    const long before = anonymousKib();
    ASSERT_GT(before, 39 * 1024) << "the freed blocks were given back before the test asked";

    releaseStartupMemory();

    const long after = anonymousKib();
    EXPECT_LT(after, before - 30 * 1024) << "before " << before << " kB, after " << after << " kB";
    EXPECT_STREQ(inUse, "铃声计划");
    std::free(inUse);
}
#endif

TEST(StartupMemoryTest, TheBackgroundHandBackLoadsFirstAndNeverBlocksItsCaller) {
    auto loaded = std::make_shared<std::promise<void>>();
    std::future<void> done = loaded->get_future();
    releaseStartupMemoryInBackground([loaded] { loaded->set_value(); });
    EXPECT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

}  // namespace
}  // namespace tolvane
