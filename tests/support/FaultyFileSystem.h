// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file system over the real one that counts every step that changes a file (write, truncate,
// sync, replace, create, remove) and, at a chosen step, either fails it or kills the process
// in the middle of it.

#include <signal.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace tolvane::test {

class FaultyFileSystem final : public FileSystem {
public:
    enum class Fault { kNone, kFail, kKillBefore, kKillHalfway };

    explicit FaultyFileSystem(FileSystem* base = FileSystem::platform()) : m_base(base) {}

    // Step numbers count from 1 across the whole life of this object.
    void injectAt(int step, Fault fault) {
        m_faultStep = step;
        m_fault = fault;
    }
    int steps() const { return m_steps; }

    // Counts a step; returns a failure when this is the faulty step, or kills the process.
    // halfway is called before the kill for kKillHalfway, to leave a torn change behind.
    template <typename Halfway>
    Status step(Halfway halfway) {
        if (++m_steps != m_faultStep) return Status::ok();
        switch (m_fault) {
            case Fault::kFail:
                return Status::ioError("injected failure");
            case Fault::kKillHalfway:
                halfway();
                [[fallthrough]];
            case Fault::kKillBefore:
                ::kill(::getpid(), SIGKILL);
                ::pause();
                break;
            case Fault::kNone:
                break;
        }
        return Status::ok();
    }
    Status step() {
        return step([] {});
    }

    Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path,
                                                           bool writable) override {
        auto f = m_base->openExisting(path, writable);
        if (!f.isOk()) return f.status();
        return wrap(std::move(f).value());
    }
    Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) override {
        if (Status s = step(); !s.isOk()) return s;
        auto f = m_base->createTruncated(path);
        if (!f.isOk()) return f.status();
        return wrap(std::move(f).value());
    }
    Status replace(const std::string& from, const std::string& to) override {
        if (Status s = step(); !s.isOk()) return s;
        return m_base->replace(from, to);
    }
    Status remove(const std::string& path) override {
        if (Status s = step(); !s.isOk()) return s;
        return m_base->remove(path);
    }
    bool exists(const std::string& path) override { return m_base->exists(path); }
    std::string canonicalPath(const std::string& path) override {
        return m_base->canonicalPath(path);
    }
    Status copyOwnerAndMode(const std::string& model, const std::string& path) override {
        return m_base->copyOwnerAndMode(model, path);
    }
    // None counts as a step: faults are injected into the table's own reads and writes.
    Result<FileIdentity> identity(const std::string& path) override {
        return m_base->identity(path);
    }
    Result<std::unique_ptr<FileLock>> lock(const std::string& path, int waitMs) override {
        return m_base->lock(path, waitMs);
    }

private:
    class File final : public RandomAccessFile {
    public:
        File(FaultyFileSystem* fs, std::unique_ptr<RandomAccessFile> base)
            : m_fs(fs), m_base(std::move(base)) {}
        Status read(uint64_t offset, size_t n, char* dst) override {
            return m_base->read(offset, n, dst);
        }
        Status write(uint64_t offset, std::string_view data) override {
            // Writes of a few bytes stay whole: a storage sector is never torn inside an int32.
            if (Status s = m_fs->step([&] {
                    if (data.size() > 8) m_base->write(offset, data.substr(0, data.size() / 2));
                });
                !s.isOk())
                return s;
            return m_base->write(offset, data);
        }
        Status truncate(uint64_t size) override {
            if (Status s = m_fs->step(); !s.isOk()) return s;
            return m_base->truncate(size);
        }
        Status sync() override {
            if (Status s = m_fs->step(); !s.isOk()) return s;
            return m_base->sync();
        }
        Result<uint64_t> size() override { return m_base->size(); }

    private:
        FaultyFileSystem* m_fs;
        std::unique_ptr<RandomAccessFile> m_base;
    };

    std::unique_ptr<RandomAccessFile> wrap(std::unique_ptr<RandomAccessFile> f) {
        return std::make_unique<File>(this, std::move(f));
    }

    FileSystem* m_base;
    int m_steps = 0;
    int m_faultStep = 0;
    Fault m_fault = Fault::kNone;
};

}  // namespace tolvane::test
