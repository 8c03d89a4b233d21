// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/WideText_win32.h"

namespace tolvane {

namespace {

Status lastError(const char* what) {
    const DWORD error = GetLastError();
    const std::string msg = std::string(what) + ": system error " + std::to_string(error);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return Status::notFound(msg);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return Status::permissionDenied(msg);
    return Status::ioError(msg);
}

OVERLAPPED at(uint64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xffffffffu);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

class Win32File final : public RandomAccessFile {
public:
    explicit Win32File(HANDLE h) : m_handle(h) {}
    ~Win32File() override { CloseHandle(m_handle); }

    Status read(uint64_t offset, size_t n, char* dst) override {
        while (n > 0) {
            OVERLAPPED o = at(offset);
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
            if (!ReadFile(m_handle, dst, want, &got, &o)) return lastError("cannot read");
            if (got == 0) return Status::ioError("unexpected end of file");
            dst += got;
            n -= got;
            offset += got;
        }
        return Status::ok();
    }
    Status write(uint64_t offset, std::string_view data) override {
        while (!data.empty()) {
            OVERLAPPED o = at(offset);
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
            if (!WriteFile(m_handle, data.data(), want, &put, &o)) return lastError("cannot write");
            data.remove_prefix(put);
            offset += put;
        }
        return Status::ok();
    }
    Status truncate(uint64_t size) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(size);
        if (!SetFilePointerEx(m_handle, to, nullptr, FILE_BEGIN) || !SetEndOfFile(m_handle))
            return lastError("cannot truncate");
        return Status::ok();
    }
    Status sync() override {
        return FlushFileBuffers(m_handle) ? Status::ok() : lastError("cannot sync");
    }
    Result<uint64_t> size() override {
        LARGE_INTEGER s;
        if (!GetFileSizeEx(m_handle, &s)) return lastError("cannot read the size");
        return static_cast<uint64_t>(s.QuadPart);
    }

private:
    HANDLE m_handle;
};

Result<std::unique_ptr<RandomAccessFile>> openFile(const std::string& path, DWORD access,
                                                   DWORD disposition) {
    // Shared for deletion too, so that a new table can be put in the place of an open one.
    HANDLE h = CreateFileW(wideText(path).c_str(), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError("cannot open");
    return std::unique_ptr<RandomAccessFile>(new Win32File(h));
}

class Win32Lock final : public FileLock {
public:
    explicit Win32Lock(HANDLE h) : m_handle(h) {}
    ~Win32Lock() override { CloseHandle(m_handle); }  // closing the handle releases the lock

private:
    HANDLE m_handle;
};

// A FILETIME as nanoseconds; only compared, so the epoch does not matter.
int64_t nanoseconds(const FILETIME& t) {
    return ((int64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) * 100;
}

constexpr std::chrono::seconds kReplaceRetry{3};

class Win32FileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path,
                                                           bool writable) override {
        const DWORD attributes = GetFileAttributesW(wideText(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Status::ioError("not a regular file");
        return openFile(path, GENERIC_READ | (writable ? GENERIC_WRITE : 0), OPEN_EXISTING);
    }
    Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) override {
        return openFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    }
    Result<std::unique_ptr<RandomAccessFile>> createNew(const std::string& path) override {
        if (exists(path)) return Status::alreadyOpen("the file is there already");
        // CREATE_NEW refuses a name another writer took in between.
        return openFile(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    }
    Status moveNew(const std::string& from, const std::string& to) override {
        if (MoveFileExW(wideText(from).c_str(), wideText(to).c_str(), MOVEFILE_WRITE_THROUGH))
            return Status::ok();
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return Status::alreadyOpen("the file is there already");
        SetLastError(error);
        return lastError("cannot rename");
    }
    // Windows refuses to rename over a file that any process has open, whatever the sharing
    // flags (the name stays taken until the last handle closes). The program holds its tables
    // open only while it reads them, and the indexer or a virus scanner only for a moment: a
    // refusal is tried again for a while before it counts.
    Status replace(const std::string& from, const std::string& to) override {
        const auto deadline = std::chrono::steady_clock::now() + kReplaceRetry;
        for (;;) {
            if (MoveFileExW(wideText(from).c_str(), wideText(to).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return Status::ok();
            const DWORD error = GetLastError();
            const bool heldOpen = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
            if (!heldOpen || std::chrono::steady_clock::now() >= deadline) {
                SetLastError(error);
                return heldOpen ? lastError(("cannot put the new file in place of " + to +
                                             ": another program holds it open or it may not be "
                                             "written")
                                                .c_str())
                                : lastError("cannot rename");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    Status remove(const std::string& path) override {
        return DeleteFileW(wideText(path).c_str()) ? Status::ok() : lastError("cannot remove");
    }
    bool exists(const std::string& path) override {
        return GetFileAttributesW(wideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string canonicalPath(const std::string& path) override {
        std::error_code ec;
        const auto canonical =
            std::filesystem::weakly_canonical(std::filesystem::absolute(wideText(path), ec), ec);
        if (ec) return path;
        const std::u8string utf8 = canonical.u8string();
        return std::string(utf8.begin(), utf8.end());
    }

    // A new file takes its folder's inherited access rules, as the old one did.
    Status copyOwnerAndMode(const std::string&, const std::string&) override {
        return Status::ok();
    }

    Result<FileIdentity> identity(const std::string& path) override {
        HANDLE h = CreateFileW(wideText(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return lastError("cannot open");
        BY_HANDLE_FILE_INFORMATION info;
        const BOOL got = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        if (!got) return lastError("cannot read the file's information");
        return FileIdentity{info.dwVolumeSerialNumber,
                            (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                            (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                            nanoseconds(info.ftLastWriteTime)};
    }

    Result<std::unique_ptr<FileLock>> lock(const std::string& path, int waitMs) override {
        HANDLE h = CreateFileW(wideText(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            h = CreateFileW(wideText(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return lastError("cannot open the lock file");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            // A byte far past the end: Windows locks are mandatory, and the file's text (the
            // holder's process id) must stay readable and writable.
            OVERLAPPED beyondEnd{};
            beyondEnd.Offset = 0xFFFFFFF0u;
            if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                           &beyondEnd))
                return std::unique_ptr<FileLock>(new Win32Lock(h));
            if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
                Status s = lastError("cannot lock");
                CloseHandle(h);
                return s;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                CloseHandle(h);
                return std::unique_ptr<FileLock>();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
};

}  // namespace

FileSystem* FileSystem::platform() {
    static Win32FileSystem* const fs = new Win32FileSystem;
    return fs;
}

Status writePrivateFile(const std::string& path, std::string_view bytes) {
    return writeWholeFile(*FileSystem::platform(), path, bytes, true);
}

}  // namespace tolvane
