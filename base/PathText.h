// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paths travel through the program as UTF-8 text. std::filesystem reads and writes narrow strings
// in the system's ANSI code page on Windows, which loses or garbles any name outside it, so every
// crossing goes through these two.

#include <filesystem>
#include <string>
#include <string_view>

namespace tolvane {

// A constant every layer uses, platform/ included, which sits above base/: chosen here.
#ifdef _WIN32
inline constexpr char kPathSeparator[] = "\\";
#else
inline constexpr char kPathSeparator[] = "/";
#endif

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// folder / name, with the platform's separator, as UTF-8.
std::string joinPath(std::string_view folder, std::string_view name);

// text with its ASCII letters in lower case and the rest as it is: file names compare so on
// Windows, and HTTP's header values everywhere.
std::string asciiLowered(std::string text);

}  // namespace tolvane
