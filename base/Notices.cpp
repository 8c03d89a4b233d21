// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Notices.h"

#include "base/UiText.h"

namespace tolvane {

namespace {

constexpr LibraryNotice kLibraries[] = {
    {"Qt", "LGPL-3.0-only", UI_TEXT_NOOP("Notices", "窗口、界面和网络")},
    {"libmpg123", "LGPL-2.1-only", UI_TEXT_NOOP("Notices", "MP3 解码")},
    {"LAME", "LGPL-2.0-or-later", UI_TEXT_NOOP("Notices", "语音播报的 MP3 编码")},
    {"libsodium", "ISC", UI_TEXT_NOOP("Notices", "密码的散列（Argon2id）")},
    {"libical", "LGPL-2.1-only OR MPL-2.0", UI_TEXT_NOOP("Notices", "读取 iCalendar 校历")},
    {"libcsv", "LGPL-2.1-or-later", UI_TEXT_NOOP("Notices", "读写 CSV 作息表")},
    {"OpenSSL", "Apache-2.0", UI_TEXT_NOOP("Notices", "网页的 HTTPS")},
    {"Boost", "BSL-1.0", UI_TEXT_NOOP("Notices", "网页的 HTTP（Beast、Asio）")},
    {"spdlog", "MIT", UI_TEXT_NOOP("Notices", "运行日志")},
    {"fmt", "MIT", UI_TEXT_NOOP("Notices", "运行日志的文字格式")},
    {"SimpleIni", "MIT", UI_TEXT_NOOP("Notices", "读写 tolvane.conf")},
// The Windows program carries the compiler's runtime beside it; on Linux the sound server's, the
// journal's and the window system's libraries are linked instead, from the system.
#ifdef _WIN32
    {"GCC-runtime", "GPL-3.0-or-later WITH GCC-exception-3.1",
     UI_TEXT_NOOP("Notices", "C++ 运行库（libstdc++、libgcc）")},
    {"winpthreads", "MIT AND BSD-3-Clause", UI_TEXT_NOOP("Notices", "线程运行库（MinGW-w64）")},
#else
    {"eSpeak NG", "GPL-3.0-or-later", UI_TEXT_NOOP("Notices", "语音播报的中文语音")},
    {"libpulse", "LGPL-2.1-or-later", UI_TEXT_NOOP("Notices", "声音输出（PulseAudio、PipeWire）")},
    {"libsystemd", "LGPL-2.1-or-later", UI_TEXT_NOOP("Notices", "系统日志和 D-Bus")},
    {"libxcb", "X11", UI_TEXT_NOOP("Notices", "X11 快捷键")},
    {"Fontconfig", "HPND-sell-variant", UI_TEXT_NOOP("Notices", "寻找中文字体")},
#endif
};

}  // namespace

std::span<const LibraryNotice> libraryNotices() {
    return kLibraries;
}

}  // namespace tolvane
