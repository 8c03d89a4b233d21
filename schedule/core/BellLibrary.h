// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 铃声库: the "media" folder beside the tables, where a bell's music is kept. The window's
// chooser opens there first, the page lists it and takes uploads into it, and a new one starts
// with the bells the program ships.

#include <functional>
#include <string>
#include <vector>

#include "base/Status.h"

namespace tolvane {

class FileSystem;
class TableDatabase;

inline constexpr char kBellLibraryName[] = "media";
// The library's folder of speech made ahead for bells and notices: the program's own, not a bell
// to choose.
inline constexpr char kSpeechFolderName[] = "语音";

// dataFolder's library, with the platform's separator.
std::string bellLibraryFolder(const std::string& dataFolder);
// The speech folder of dataFolder's library.
std::string speechFolder(const std::string& dataFolder);

// Makes dataFolder's library when it is missing, with the MP3 files of shippedFolder copied in
// (none when that is empty or missing). A library that is there is left as it is: a bell we ship
// that the school deleted stays deleted.
Status makeBellLibrary(const std::string& dataFolder, const std::string& shippedFolder);

struct LibraryEntry {
    std::string name;
    bool folder = false;  // a folder bell: all its MP3s, in order
    bool operator==(const LibraryEntry&) const = default;
};
// The library's MP3 files and the folders beside them, folders first, each by name; empty when
// it cannot be read.
std::vector<LibraryEntry> listBellLibrary(const std::string& dataFolder);

// Why a ring-now of music asked from outside the window (a request file, the page) may not play,
// in this thread's language; empty when it may: a file or folder in the library, or the music
// of a bell of the schedule (any 作息表).
std::string ringNowMusicProblem(TableDatabase& db, const std::string& dataFolder,
                                const std::string& music);

// Why name may not be a file of the library, in this thread's language; empty when it may: one
// name (no folder, no "..", no control character, nothing Windows refuses), ending in .mp3.
std::string libraryFileNameProblem(const std::string& name);

// Whether name may be added to the library now: libraryFileNameProblem's word, or the file that
// holds it already, in any case of its letters (they are one name on Windows).
Status libraryNameStatus(const std::string& dataFolder, const std::string& name);

// A hidden path of the library that no file has yet, for an upload while it arrives: nobody
// lists or rings it, and two uploads never share one.
std::string libraryScratchPath(const std::string& dataFolder);

// Puts the file at scratch (a libraryScratchPath, written whole) into the library as name:
// checked by fileUnplayableBecause (a file that will not play is not kept) and renamed in place,
// never over a file that is there. scratch is gone afterwards, whatever the answer.
Status moveIntoBellLibrary(
    FileSystem& fs, const std::string& dataFolder, const std::string& name,
    const std::string& scratch,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause);

// bytes put into the library as name, as moveIntoBellLibrary puts a file. A full disk or a folder
// that cannot be written is refused with the system's reason.
Status addToBellLibrary(
    FileSystem& fs, const std::string& dataFolder, const std::string& name,
    const std::string& bytes,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause);

}  // namespace tolvane
