// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/FileSystem.h"

namespace tolvane {

namespace {

// Messages leave the path out: the caller that knows which file it meant adds it.
Status errnoStatus(const std::string& what, int err) {
    const std::string msg = what + ": " + std::strerror(err);
    if (err == ENOENT) return Status::notFound(msg);
    if (err == EACCES || err == EPERM || err == EROFS) return Status::permissionDenied(msg);
    return Status::ioError(msg);
}

class PosixFile final : public RandomAccessFile {
public:
    explicit PosixFile(int fd) : m_fd(fd) {}
    ~PosixFile() override { ::close(m_fd); }

    Status read(uint64_t offset, size_t n, char* dst) override {
        while (n > 0) {
            const ssize_t got = ::pread(m_fd, dst, n, static_cast<off_t>(offset));
            if (got < 0) {
                if (errno == EINTR) continue;
                return errnoStatus("cannot read", errno);
            }
            if (got == 0) return Status::ioError("unexpected end of file");
            dst += got;
            n -= static_cast<size_t>(got);
            offset += static_cast<uint64_t>(got);
        }
        return Status::ok();
    }

    Status write(uint64_t offset, std::string_view data) override {
        while (!data.empty()) {
            const ssize_t put =
                ::pwrite(m_fd, data.data(), data.size(), static_cast<off_t>(offset));
            if (put < 0) {
                if (errno == EINTR) continue;
                return errnoStatus("cannot write", errno);
            }
            data.remove_prefix(static_cast<size_t>(put));
            offset += static_cast<uint64_t>(put);
        }
        return Status::ok();
    }

    Status truncate(uint64_t size) override {
        if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
            return errnoStatus("cannot truncate", errno);
        return Status::ok();
    }

    Status sync() override {
        if (::fdatasync(m_fd) != 0) return errnoStatus("cannot sync", errno);
        return Status::ok();
    }

    Result<uint64_t> size() override {
        struct stat st;
        if (::fstat(m_fd, &st) != 0) return errnoStatus("cannot stat", errno);
        return static_cast<uint64_t>(st.st_size);
    }

private:
    int m_fd;
};

class FlockLock final : public FileLock {
public:
    explicit FlockLock(int fd) : m_fd(fd) {}
    ~FlockLock() override { ::close(m_fd); }  // closing the last descriptor releases the lock

private:
    int m_fd;
};

// Opened for writing when it may be, else for reading: flock works on either, so a lock file
// another user made is still a lock for us.
int openLockFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EACCES) return fd;
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

std::string parentDirectory(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// A rename must itself reach the disk, or a power cut could bring the old name back.
void syncFolderOf(const std::string& path) {
    const int dfd = ::open(parentDirectory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

class PosixFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path,
                                                           bool writable) override {
        // Never waits: a FIFO put where a file belongs would hold the open (and the bells)
        // until someone wrote to it. Non-blocking changes nothing for a regular file.
        const int fd =
            ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return errnoStatus("cannot open", errno);
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return Status::ioError("not a regular file");
        }
        return std::unique_ptr<RandomAccessFile>(new PosixFile(fd));
    }

    Result<std::string> readHandedFile(const std::string& path, size_t maxBytes) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        if (fd < 0) {
            if (errno == ELOOP) return Status::invalidArgument("a symbolic link");
            return errnoStatus("cannot open", errno);
        }
        PosixFile file(fd);
        struct stat st;
        if (::fstat(fd, &st) != 0) return errnoStatus("cannot read", errno);
        if (!S_ISREG(st.st_mode)) return Status::invalidArgument("not a regular file");
        if (st.st_uid != ::geteuid())
            return Status::permissionDenied("owned by another user (uid " +
                                            std::to_string(st.st_uid) + ")");
        if (static_cast<uint64_t>(st.st_size) > maxBytes)
            return Status::invalidArgument("larger than " + std::to_string(maxBytes) + " bytes");
        std::string bytes(static_cast<size_t>(st.st_size), '\0');
        if (Status s = file.read(0, bytes.size(), bytes.data()); !s.isOk()) return s;
        return bytes;
    }

    Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return errnoStatus("cannot create", errno);
        return std::unique_ptr<RandomAccessFile>(new PosixFile(fd));
    }

    Result<std::unique_ptr<RandomAccessFile>> createNew(const std::string& path) override {
        const int fd =
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) return Status::alreadyOpen("the file is there already");
        if (fd < 0) return errnoStatus("cannot create", errno);
        return std::unique_ptr<RandomAccessFile>(new PosixFile(fd));
    }

    Status replace(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return errnoStatus("cannot rename", errno);
        syncFolderOf(to);
        return Status::ok();
    }

    Status moveNew(const std::string& from, const std::string& to) override {
        int result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        // A file system that cannot refuse in its rename (some network ones) refuses in link.
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            result = ::link(from.c_str(), to.c_str());
            if (result == 0) ::unlink(from.c_str());
        }
        if (result != 0 && errno == EEXIST) return Status::alreadyOpen("the file is there already");
        if (result != 0) return errnoStatus("cannot rename", errno);
        syncFolderOf(to);
        return Status::ok();
    }

    Status remove(const std::string& path) override {
        if (::unlink(path.c_str()) != 0) return errnoStatus("cannot remove", errno);
        return Status::ok();
    }

    bool exists(const std::string& path) override { return ::access(path.c_str(), F_OK) == 0; }

    std::string canonicalPath(const std::string& path) override {
        std::error_code ec;
        const auto canonical =
            std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
        return ec ? path : canonical.string();
    }

    Status copyOwnerAndMode(const std::string& model, const std::string& path) override {
        struct stat st;
        if (::stat(model.c_str(), &st) != 0) return errnoStatus("cannot stat", errno);
        if (::chmod(path.c_str(), st.st_mode & 07777) != 0)
            return errnoStatus("cannot chmod", errno);
        // Only root may give a file away; anyone else's rewrite becomes theirs.
        if (::chown(path.c_str(), st.st_uid, st.st_gid) != 0 && errno != EPERM)
            return errnoStatus("cannot chown", errno);
        return Status::ok();
    }

    Result<FileIdentity> identity(const std::string& path) override {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return errnoStatus("cannot stat", errno);
        return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                            static_cast<uint64_t>(st.st_size),
                            int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
    }

    Result<std::unique_ptr<FileLock>> lock(const std::string& path, int waitMs) override {
        const int fd = openLockFile(path);
        if (fd < 0) return errnoStatus("cannot open the lock file", errno);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                const int err = errno;
                ::close(fd);
                return errnoStatus("cannot lock", err);
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                return std::unique_ptr<FileLock>();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::unique_ptr<FileLock>(new FlockLock(fd));
    }

    Result<std::unique_ptr<FileLock>> lockFolder(const std::string& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errnoStatus("cannot open the folder to lock it", errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return std::unique_ptr<FileLock>(new FlockLock(fd));
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) return std::unique_ptr<FileLock>();
        return errnoStatus("cannot lock the folder", err);
    }
    bool locksFolders() const override { return true; }
};

}  // namespace

FileSystem* FileSystem::platform() {
    static PosixFileSystem* const fs = new PosixFileSystem;
    return fs;
}

Status writePrivateFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return errnoStatus("cannot create", errno).about(path);
    ::fchmod(fd, 0600);  // a file that was there keeps its mode otherwise
    bool written = true;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        written = n > 0;
        if (written) done += static_cast<size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    return written && closed ? Status::ok() : Status::ioError(path + ": could not be written");
}

}  // namespace tolvane
