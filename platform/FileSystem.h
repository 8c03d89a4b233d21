// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table engine reaches files only through these two interfaces, so tests can put it on
// in-memory files, files that fail, and files whose process is killed in the middle of a write.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/Status.h"

namespace tolvane {

class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;

    // Reads exactly n bytes at offset into dst; a short read is an error.
    virtual Status read(uint64_t offset, size_t n, char* dst) = 0;
    // Writes all of data at offset; a short write is an error.
    virtual Status write(uint64_t offset, std::string_view data) = 0;
    virtual Status truncate(uint64_t size) = 0;
    // Returns once everything written so far is on the storage device.
    virtual Status sync() = 0;
    virtual Result<uint64_t> size() = 0;
};

// What tells one version of a file from another without reading it: a file put in its place by
// rename has another identity, a file written in place another size or modification time.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// An exclusive lock on a lock file, held until the object is destroyed. The system releases it
// when its process dies, so a crashed holder never leaves it taken.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The process-wide file system of the platform. Never deleted.
    static FileSystem* platform();

    // Opens an existing file; NotFound when there is none.
    virtual Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path,
                                                                   bool writable) = 0;
    // Creates the file, or empties the one that is there, open for reading and writing.
    virtual Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) = 0;
    // Creates the file only when no file has that name, in one step (kAlreadyOpen when one has):
    // two writers that chose one name never share the file.
    virtual Result<std::unique_ptr<RandomAccessFile>> createNew(const std::string& path);
    // Puts from in the place of to in one step: a crash leaves either the old or the new file
    // under the name `to`, never neither. Open handles of `from` stay valid and now refer to `to`.
    virtual Status replace(const std::string& from, const std::string& to) = 0;
    // Renames from to to only when no file has that name, in one step (kAlreadyOpen when one
    // has): a file that arrived meanwhile is never written over.
    virtual Status moveNew(const std::string& from, const std::string& to);
    virtual Status remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // The absolute path with links resolved, so two names of one file compare equal.
    virtual std::string canonicalPath(const std::string& path) = 0;
    // Gives the file at path the permissions (and, where this user may, the owner) of the file at
    // model, so a table rebuilt beside the old one and renamed into place stays as it was set up.
    virtual Status copyOwnerAndMode(const std::string& model, const std::string& path) = 0;
    // NotFound when there is no file at path.
    virtual Result<FileIdentity> identity(const std::string& path) = 0;
    // Takes the lock of the lock file at path (created when missing), waiting up to waitMs while
    // another process or another lock object of this process holds it. A null lock when it was
    // still held after that; an error when the lock file cannot be made or opened.
    virtual Result<std::unique_ptr<FileLock>> lock(const std::string& path, int waitMs) = 0;
    // Takes, without waiting, a lock on the folder itself, which no tool that replaces the
    // folder's files (a synchronisation, a restore) can take away; a null lock when another
    // process holds it. Where a folder cannot be locked (Windows), a lock that holds nothing:
    // the lock files beside it are all there is.
    virtual Result<std::unique_ptr<FileLock>> lockFolder(const std::string& folder) {
        (void)folder;
        return std::make_unique<FileLock>();
    }
    // Whether lockFolder's locks hold anything.
    virtual bool locksFolders() const { return false; }
    // The whole of a small file another process hands this one (a request), read without ever
    // waiting on it: refused (kPermissionDenied or kInvalidArgument, saying why) unless it is a
    // regular file, not a link, of this user's where the system says whose files are, and of at
    // most maxBytes. NotFound when there is none.
    virtual Result<std::string> readHandedFile(const std::string& path, size_t maxBytes);
};

// Creates or empties the file at path and writes bytes into it, on the device when sync.
Status writeWholeFile(FileSystem& fs, const std::string& path, std::string_view bytes, bool sync);
// Writes bytes as a new file at path, on the device; refused (kAlreadyOpen) when path names a
// file, and removed again when it could not be written whole.
Status writeNewFile(FileSystem& fs, const std::string& path, std::string_view bytes);
// Puts bytes in place as the whole file at path at once (written beside it, then renamed over
// it): a reader finds the old file or the new one, never half of one. Not synced to the device:
// for what matters only while the machine runs (a ringer's state, a request to it).
Status replaceWholeFile(FileSystem& fs, const std::string& path, std::string_view bytes);
// Writes bytes as the whole file at path, readable and writable by this user alone from the moment
// it exists (a private key). Windows: the folder's permissions are the file's.
Status writePrivateFile(const std::string& path, std::string_view bytes);
// The whole of a small file; NotFound when there is none.
Result<std::string> readWholeFile(FileSystem& fs, const std::string& path);

}  // namespace tolvane
