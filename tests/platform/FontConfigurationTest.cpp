// SPDX-License-Identifier: GPL-3.0-or-later
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/FontConfiguration.h"

namespace tolvane {
namespace {

// The font files the configuration lists (nullptr: the process's current configuration, which
// the toolkit asks for while the load may still run).
int fontFileCount(FcConfig* config) {
    FcPattern* any = FcPatternCreate();
    FcObjectSet* file = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(config, any, file);
    const int count = fonts ? fonts->nfont : -1;
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(file);
    FcPatternDestroy(any);
    return count;
}

// Each case runs in a process of its own, as fontconfig reads its configuration once a process:
// the toolkit's thread asks for fonts at once, racing the load at every step of it.
TEST(FontConfigurationTest, TheToolkitFindsEveryFontWhileTheLoadRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int run = 0; run < 5; ++run) {
        EXPECT_EXIT(
            {
                std::thread load(loadFontConfiguration);
                const int duringLoad = fontFileCount(nullptr);
                load.join();
                const int afterLoad = fontFileCount(nullptr);
                const int readAlone = fontFileCount(FcInitLoadConfigAndFonts());
                std::_Exit(readAlone > 0 && duringLoad == readAlone && afterLoad == readAlone ? 0
                                                                                              : 1);
            },
            testing::ExitedWithCode(0), "");
    }
}

}  // namespace
}  // namespace tolvane
