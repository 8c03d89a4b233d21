// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/PlayList.h"

#include <random>

#include "base/PathText.h"
#include "platform/FolderListing.h"
#include "schedule/core/Schema.h"

namespace tolvane {

std::string buildFolderPlayList(const std::string& folder, bool random, uint64_t seed) {
    const std::vector<std::string> names = listMp3Files(folder);
    std::vector<size_t> order;
    if (!random) {
        for (size_t i = 0; i < names.size(); ++i) order.push_back(i);
    } else if (!names.empty()) {
        // Draw a file at random; draw again when it is already on the list.
        std::mt19937_64 generator(seed);
        std::uniform_int_distribution<size_t> pick(0, names.size() - 1);
        std::vector<bool> taken(names.size(), false);
        while (order.size() < names.size()) {
            const size_t i = pick(generator);
            if (taken[i]) continue;
            taken[i] = true;
            order.push_back(i);
        }
    }
    std::string text;
    for (size_t i : order) text += folder + kPathSeparator + names[i] + "\r\n";
    return text;
}

std::vector<std::string> splitPlayList(std::string_view text) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        const size_t end = text.find("\r\n");
        const std::string_view piece = text.substr(0, end);
        if (!piece.empty()) paths.emplace_back(piece);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 2);
    }
    return paths;
}

PlaylistBellSound::PlaylistBellSound(PlaybackService& playback, std::function<uint64_t()> seed)
    : m_playback(playback), m_seed(std::move(seed)) {}

std::vector<std::string> PlaylistBellSound::listFor(const std::string& music,
                                                    const std::string& speech) {
    std::vector<std::string> list =
        countsAsFile(music) ? std::vector<std::string>{music}
                            : splitPlayList(buildFolderPlayList(music, m_randomPlay, m_seed()));
    // Last, whatever order the music took: the words follow the music.
    if (!speech.empty() && m_speechFile)
        if (std::string file = m_speechFile(speech); !file.empty()) list.push_back(std::move(file));
    return list;
}

void PlaylistBellSound::prepare(const std::string& music, const std::string& speech) {
    m_preparedMusic = {music, speech};
    m_preparedList = listFor(music, speech);
    m_playback.prepare(m_preparedList, 1);
}

void PlaylistBellSound::start(const std::string& music, const std::string& speech) {
    const std::pair<std::string, std::string> asked{music, speech};
    std::vector<std::string> list =
        m_preparedMusic == asked ? std::move(m_preparedList) : listFor(music, speech);
    m_preparedMusic.reset();
    m_preparedList.clear();
    m_playback.play(list, 1);
}

void PlaylistBellSound::stop() {
    m_preparedMusic.reset();
    m_preparedList.clear();
    m_playback.stop();
}

}  // namespace tolvane
