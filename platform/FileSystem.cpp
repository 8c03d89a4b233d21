// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"

namespace tolvane {

Status writeWholeFile(FileSystem& fs, const std::string& path, std::string_view bytes, bool sync) {
    auto file = fs.createTruncated(path);
    if (!file.isOk()) return file.status();
    Status s = file.value()->write(0, bytes);
    if (s.isOk() && sync) s = file.value()->sync();
    return s;
}

Status writeNewFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
    auto file = fs.createNew(path);
    if (!file.isOk()) return file.status();
    Status s = file.value()->write(0, bytes);
    if (s.isOk()) s = file.value()->sync();
    file.value().reset();
    if (!s.isOk()) fs.remove(path);
    return s;
}

Status replaceWholeFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
    const std::string scratch = path + ".tmp";
    Status s = writeWholeFile(fs, scratch, bytes, false);
    if (s.isOk()) s = fs.replace(scratch, path);
    if (!s.isOk()) fs.remove(scratch);
    return s.about(path);
}

// Where the system cannot do it in one step, the check and the act are as close as they can be.
Result<std::unique_ptr<RandomAccessFile>> FileSystem::createNew(const std::string& path) {
    if (exists(path)) return Status::alreadyOpen("the file is there already").about(path);
    return createTruncated(path);
}

Status FileSystem::moveNew(const std::string& from, const std::string& to) {
    if (exists(to)) return Status::alreadyOpen("the file is there already").about(to);
    return replace(from, to);
}

Result<std::string> FileSystem::readHandedFile(const std::string& path, size_t maxBytes) {
    auto file = openExisting(path, false);
    if (!file.isOk()) return file.status();
    auto size = file.value()->size();
    if (!size.isOk()) return size.status();
    if (size.value() > maxBytes)
        return Status::invalidArgument("larger than " + std::to_string(maxBytes) + " bytes");
    std::string bytes(static_cast<size_t>(size.value()), '\0');
    if (Status s = file.value()->read(0, bytes.size(), bytes.data()); !s.isOk()) return s;
    return bytes;
}

Result<std::string> readWholeFile(FileSystem& fs, const std::string& path) {
    auto file = fs.openExisting(path, false);
    if (!file.isOk()) return file.status();
    auto size = file.value()->size();
    if (!size.isOk()) return size.status();
    std::string bytes(static_cast<size_t>(size.value()), '\0');
    if (Status s = file.value()->read(0, bytes.size(), bytes.data()); !s.isOk()) return s;
    return bytes;
}

}  // namespace tolvane
