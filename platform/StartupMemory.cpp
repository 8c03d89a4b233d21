#include "platform/StartupMemory.h"

#include <charconv>
#include <thread>

namespace tolvane {

namespace {

struct Mapping {
    MappedRange range;
    bool candidate = false;
    bool ownPages = false;
};

std::string_view nextWord(std::string_view& line) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const size_t end = line.find(' ');
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    return word;
}

bool parseHex(std::string_view text, std::uintptr_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

// "7f12a000-7f12b000 r--p 00001000 08:01 1234   /usr/lib/libx.so": a mapping begins.
bool parseHeader(std::string_view line, Mapping& m) {
    const std::string_view addresses = nextWord(line);
    const size_t dash = addresses.find('-');
    if (dash == std::string_view::npos || !parseHex(addresses.substr(0, dash), m.range.begin) ||
        !parseHex(addresses.substr(dash + 1), m.range.end))
        return false;
    const std::string_view permissions = nextWord(line);
    nextWord(line);  // offset
    nextWord(line);  // device
    const std::string_view inode = nextWord(line);
    const size_t pathStart = line.find_first_not_of(' ');
    const std::string_view path =
        pathStart == std::string_view::npos ? std::string_view() : line.substr(pathStart);
    // Read-only and private: nothing can write the pages meanwhile, and each can be read again
    // from its file. Code too: starting runs much that never runs again (loading, building the
    // window), while what the clock runs each second is back within that second and a bell's
    // first one maps back its own within a millisecond. Only the system's own files: reading a
    // page again from a program folder on a share or a stick that has gone would hold up (or
    // end) the program at a bell.
    m.candidate = (permissions == "r--p" || permissions == "r-xp") && inode != "0" &&
                  path.starts_with("/usr/");
    return true;
}

// "Rss:  123 kB" -> 123 * 1024 bytes.
std::size_t fieldBytes(std::string_view line) {
    line.remove_prefix(line.find(':') + 1);
    const std::string_view number = nextWord(line);
    std::size_t kib = 0;
    std::from_chars(number.data(), number.data() + number.size(), kib);
    return kib * 1024;
}

bool hasFlag(std::string_view flags, std::string_view flag) {
    for (std::string_view word = nextWord(flags); !word.empty(); word = nextWord(flags))
        if (word == flag) return true;
    return false;
}

void note(const Mapping& m, std::vector<MappedRange>& out) {
    if (m.candidate && !m.ownPages && m.range.residentBytes > 0) out.push_back(m.range);
}

}  // namespace

std::vector<MappedRange> releasableFileMappings(std::string_view smaps) {
    std::vector<MappedRange> out;
    Mapping current;
    bool inMapping = false;
    while (!smaps.empty()) {
        const size_t end = smaps.find('\n');
        const std::string_view line = smaps.substr(0, end);
        smaps.remove_prefix(end == std::string_view::npos ? smaps.size() : end + 1);
        Mapping next;
        if (parseHeader(line, next)) {
            if (inMapping) note(current, out);
            current = next;
            inMapping = true;
        } else if (line.starts_with("Rss:")) {
            current.range.residentBytes = fieldBytes(line);
        } else if (line.starts_with("Anonymous:")) {
            // Pages copied on write; every other page of the mapping is the file's own.
            current.ownPages = fieldBytes(line) > 0;
        } else if (line.starts_with("VmFlags:")) {
            // Locked or raw-device memory is left as it is.
            for (const char* flag : {"lo", "io", "pf", "dd"})
                current.candidate = current.candidate && !hasFlag(line.substr(8), flag);
        }
    }
    if (inMapping) note(current, out);
    return out;
}

void releaseStartupMemoryInBackground(std::function<void()> loadFirst) {
    std::thread([loadFirst = std::move(loadFirst)] {
        if (loadFirst) loadFirst();
        releaseStartupMemory();
    }).detach();
}

}  // namespace tolvane
