// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SpeechCommands.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "cli/RingNowCommand.h"
#include "cli/ScheduleCommands.h"
#include "platform/FileSystem.h"
#include "platform/SpeechVoice.h"
#include "platform/TextCodec.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/BellLibrary.h"
#include "settings/core/Settings.h"
#include "speech/core/SpeechFiles.h"
#include "speech/make/SpeechMaking.h"

namespace tolvane::cli {

namespace {

constexpr char kSayUsage[] = "say DIR TEXT [--save NAME]";
constexpr char kVoicesUsage[] = "voices DIR [--use NAME | --default] [--rate N]";

int usageError(std::ostream& err, const char* usage) {
    err << "usage: tolvanectl " << usage << "\n";
    return 2;
}

std::string withMp3(std::string name) {
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".mp3") != 0) name += ".mp3";
    return name;
}

}  // namespace

void makeBellSpeech(TableDatabase& db, const std::string& dir, const std::string& text,
                    std::ostream& err) {
    if (Status s = makeSpeech(dir, text, speechVoiceChoice(db)); !s.isOk())
        err << "tolvanectl: warning: the bell's words could not be made, it rings its music "
               "alone until they are: "
            << s.message() << "\n";
}

int sayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool save = args.size() == 4 && args[2] == "--save";
    if (args.size() != 2 && !save) return usageError(err, kSayUsage);
    const std::string& dir = args[0];
    const std::string& text = args[1];
    if (const std::string problem = speechProblem({true, text}); !problem.empty()) {
        err << "tolvanectl: " << problem << "\n";
        return 1;
    }
    TableDatabase db;
    if (!openTables(db, dir, err)) return 1;
    const SpeechVoiceChoice choice = speechVoiceChoice(db);
    if (save) {
        auto mp3 = speechMp3(text, choice);
        const std::string name = withMp3(args[3]);
        // Made by our own encoder a moment ago: it plays.
        const auto playable = [](const std::string&) { return std::string(); };
        Status s = mp3.isOk()
                       ? addToBellLibrary(*FileSystem::platform(), dir, name, mp3.value(), playable)
                       : mp3.status();
        if (!s.isOk()) {
            err << "tolvanectl: " << s.message() << "\n";
            return 1;
        }
        out << "saved: " << bellLibraryFolder(dir) << "/" << name << "\n";
        return 0;
    }
    if (Status s = makeSpeech(dir, text, choice); !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    std::ostringstream ringing;
    const int status = ringNowCommand({dir, speechFilePath(dir, text, choice)}, ringing, err);
    if (status == 0) out << "saying now: " << text << "\n";
    return status;
}

int voicesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, kVoicesUsage);
    std::optional<std::string> use;
    std::optional<int> rate;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--default") {
            use = "";
        } else if (args[i] == "--use" && i + 1 < args.size()) {
            use = args[++i];
        } else if (args[i] == "--rate" && i + 1 < args.size()) {
            try {
                size_t used = 0;
                rate = std::stoi(args[++i], &used);
                if (used != args[i].size()) return usageError(err, kVoicesUsage);
            } catch (const std::exception&) {
                return usageError(err, kVoicesUsage);
            }
        } else {
            return usageError(err, kVoicesUsage);
        }
    }
    TableDatabase db;
    if (!openTables(db, args[0], err)) return 1;
    const std::vector<SpeechVoiceInfo> voices = chineseVoices();
    SpeechVoiceChoice choice = speechVoiceChoice(db);
    if (use || rate) {
        if (use && !use->empty() &&
            std::none_of(voices.begin(), voices.end(),
                         [&](const SpeechVoiceInfo& v) { return v.name == *use; })) {
            err << "tolvanectl: this computer has no voice " << *use << "\n";
            return 1;
        }
        if (use) choice.voice = *use;
        if (rate) choice.rate = *rate;
        if (Status s = writeSpeechVoice(db, choice.voice, choice.rate); !s.isOk()) {
            err << "tolvanectl: " << s.message() << "\n";
            return 1;
        }
    }
    if (voices.empty()) out << "no Chinese voice on this computer: bells ring their music alone\n";
    for (size_t i = 0; i < voices.size(); ++i) {
        const bool chosen = voices[i].name == choice.voice || (choice.voice.empty() && i == 0);
        out << (chosen ? "* " : "  ") << voices[i].name << "\t" << voices[i].shown << "\n";
    }
    out << "rate: " << choice.rate << " (-10 slowest, 0 normal, 10 fastest)\n";
    return 0;
}

}  // namespace tolvane::cli
