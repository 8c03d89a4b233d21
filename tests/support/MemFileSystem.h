// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files held in memory, for tests and the fuzzer that must not touch the disk.

#include <map>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace tolvane::test {

class MemFileSystem final : public FileSystem {
public:
    void put(const std::string& path, std::string bytes) {
        m_files[path] = std::make_shared<std::string>(std::move(bytes));
    }
    const std::string* get(const std::string& path) const {
        auto it = m_files.find(path);
        return it == m_files.end() ? nullptr : it->second.get();
    }

    Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path, bool) override {
        auto it = m_files.find(path);
        if (it == m_files.end()) return Status::notFound("cannot open: no such file");
        return std::unique_ptr<RandomAccessFile>(new File(it->second));
    }
    Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) override {
        put(path, std::string());
        return openExisting(path, true);
    }
    Status replace(const std::string& from, const std::string& to) override {
        auto it = m_files.find(from);
        if (it == m_files.end()) return Status::notFound("cannot rename: no such file");
        m_files[to] = it->second;
        m_files.erase(it);
        return Status::ok();
    }
    Status remove(const std::string& path) override {
        return m_files.erase(path) ? Status::ok() : Status::notFound("cannot remove: no such file");
    }
    bool exists(const std::string& path) override { return m_files.count(path) > 0; }
    std::string canonicalPath(const std::string& path) override { return path; }
    Status copyOwnerAndMode(const std::string&, const std::string&) override {
        return Status::ok();
    }
    // Every file object is a new version: a file put in place by rename differs by its address.
    Result<FileIdentity> identity(const std::string& path) override {
        auto it = m_files.find(path);
        if (it == m_files.end()) return Status::notFound("cannot stat: no such file");
        return FileIdentity{0, reinterpret_cast<uintptr_t>(it->second.get()), it->second->size(),
                            0};
    }
    // One process: nobody else can hold a lock.
    Result<std::unique_ptr<FileLock>> lock(const std::string&, int) override {
        return std::unique_ptr<FileLock>(new FileLock);
    }

private:
    class File final : public RandomAccessFile {
    public:
        explicit File(std::shared_ptr<std::string> data) : m_data(std::move(data)) {}
        Status read(uint64_t offset, size_t n, char* dst) override {
            if (offset > m_data->size() || n > m_data->size() - offset)
                return Status::ioError("unexpected end of file");
            m_data->copy(dst, n, offset);
            return Status::ok();
        }
        Status write(uint64_t offset, std::string_view data) override {
            if (m_data->size() < offset + data.size()) m_data->resize(offset + data.size());
            m_data->replace(offset, data.size(), data);
            return Status::ok();
        }
        Status truncate(uint64_t size) override {
            m_data->resize(size);
            return Status::ok();
        }
        Status sync() override { return Status::ok(); }
        Result<uint64_t> size() override { return static_cast<uint64_t>(m_data->size()); }

    private:
        std::shared_ptr<std::string> m_data;
    };

    std::map<std::string, std::shared_ptr<std::string>> m_files;
};

}  // namespace tolvane::test
