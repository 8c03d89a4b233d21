// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingRequest.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "base/PathText.h"

namespace tolvane {

namespace {

constexpr char kMagic[] = "tolvane-request 1";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool parseInt(const std::string& text, int64_t* value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

Status putRingRequest(FileSystem& fs, const std::string& folder, const std::string& pid,
                      int64_t nowMs, const RingRequest& request) {
    // One field a line: a music or a name holding a line break is refused before it comes here.
    for (const std::string* field : {&request.music, &request.who})
        if (field->find_first_of("\r\n") != std::string::npos)
            return Status::invalidArgument("a line break in a request: " + *field);
    const std::string bytes =
        std::string(kMagic) + "\n" + pid + "\n" + std::to_string(nowMs) + "\n" +
        (request.kind == RingRequest::Kind::kStop ? "stop" : "ring-now") + "\n" +
        (request.repeat ? "repeat" : "once") + "\n" + request.who + "\n" + request.music + "\n";
    return replaceWholeFile(fs, joinPath(folder, kRingRequestFile), bytes);
}

TakenRingRequest takeRingRequest(FileSystem& fs, const std::string& folder, const std::string& pid,
                                 int64_t nowMs) {
    const std::string path = joinPath(folder, kRingRequestFile);
    if (!fs.exists(path)) return {};
    auto bytes = fs.readHandedFile(path, kRingRequestMaxBytes);
    fs.remove(path);
    if (!bytes.isOk())
        return {std::nullopt, bytes.status().code() == Status::Code::kNotFound
                                  ? std::string()
                                  : bytes.status().message()};
    const std::vector<std::string> lines = linesOf(bytes.value());
    int64_t madeMs = 0;
    if (lines.size() != 7 || lines[0] != kMagic) return {std::nullopt, "not a request"};
    if (lines[1] != pid || !parseInt(lines[2], &madeMs) || madeMs > nowMs + 1000 ||
        nowMs - madeMs > kRingRequestLifeMs)
        return {};
    RingRequest request;
    if (lines[3] == "stop")
        request.kind = RingRequest::Kind::kStop;
    else if (lines[3] != "ring-now")
        return {std::nullopt, "not a request"};
    request.repeat = lines[4] == "repeat";
    request.who = lines[5];
    request.music = lines[6];
    return {request, {}};
}

bool ringRequestWaiting(FileSystem& fs, const std::string& folder) {
    return fs.exists(joinPath(folder, kRingRequestFile));
}

}  // namespace tolvane
