// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PathText.h"

namespace tolvane {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string joinPath(std::string_view folder, std::string_view name) {
    return utf8FromPath(pathFromUtf8(folder) / pathFromUtf8(name));
}

std::string asciiLowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace tolvane
