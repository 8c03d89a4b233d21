// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A request to the ringer that runs on a folder, from another process (tolvanectl): a file
// tolvane.request put in place at once, taken (read and removed) by the ringer within a second.
// It names the ringer's process and when it was made: a synchronised folder may bring another
// computer's request, and a ringer that ended leaves its last one; neither is ever carried out.

#include <cstdint>
#include <optional>
#include <string>

#include "base/Status.h"
#include "platform/FileSystem.h"

namespace tolvane {

inline constexpr char kRingRequestFile[] = "tolvane.request";

struct RingRequest {
    enum class Kind { kRingNow, kStop };
    Kind kind = Kind::kRingNow;
    std::string music;  // kRingNow: a file or a folder, as a bell's 音乐
    bool repeat = false;
    std::string who;  // who asked, for the ring log
    bool operator==(const RingRequest&) const = default;
};

// A request this old is stale: the ringer it was meant for did not take it.
inline constexpr int64_t kRingRequestLifeMs = 10'000;
// Larger than any request tolvanectl writes (a music path is at most 260 bytes).
inline constexpr size_t kRingRequestMaxBytes = 4096;

// What taking the request file found: the request, or why a file there was no request of ours
// (removed all the same); both empty when there was nothing to take or it was only stale.
struct TakenRingRequest {
    std::optional<RingRequest> request;
    std::string refused;
};

// Replaces the folder's request file at once. pid: the ringer's, as its tolvane.lock names it.
Status putRingRequest(FileSystem& fs, const std::string& folder, const std::string& pid,
                      int64_t nowMs, const RingRequest& request);
// Takes the folder's request file: removes it and returns what it asks, when it was made for
// the ringer of process pid within kRingRequestLifeMs of nowMs; none otherwise (no file, another
// process's, stale, damaged: each removed unheard all the same). The file is read without ever
// waiting on it, and only when it is a regular file of this user's of at most
// kRingRequestMaxBytes: anything else put there (a FIFO, a huge file, another user's file, a
// link) is refused with why, and removed.
TakenRingRequest takeRingRequest(FileSystem& fs, const std::string& folder, const std::string& pid,
                                 int64_t nowMs);
// The request file is still there (not yet taken).
bool ringRequestWaiting(FileSystem& fs, const std::string& folder);

}  // namespace tolvane
