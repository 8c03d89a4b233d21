#pragma once

// Reading the system's font configuration costs milliseconds at every start (on Linux, fontconfig
// parses its dozens of XML files and reads the font caches), and the window toolkit does it only
// when it first measures a text, after it has connected to the display. Begun on a thread of its
// own as the program starts, it runs while the toolkit connects instead: the toolkit then finds
// it done. Either thread may finish it first; the other uses the same configuration.

#include <thread>

namespace tolvane {

class FontConfigurationLoad {
public:
    FontConfigurationLoad();   // starts reading, where the system has such a configuration
    ~FontConfigurationLoad();  // waits until it is read
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;

private:
    std::thread m_reader;
};

}  // namespace tolvane
