// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tolvanectl's speech: a text said now through the running ringer or kept in the 铃声库, the
// voices and the rate bells speak with, and the words of a bell made when it is written.

#include <ostream>
#include <string>
#include <vector>

#include "storage/TableDatabase.h"

namespace tolvane::cli {

// say DIR TEXT [--save NAME]
int sayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// voices DIR [--use NAME | --default] [--rate N]
int voicesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Makes the file that says text for the bells of dir (the voice and rate of db's settings), and
// warns on err when it cannot be made: the bell then rings its music alone.
void makeBellSpeech(TableDatabase& db, const std::string& dir, const std::string& text,
                    std::ostream& err);

}  // namespace tolvane::cli
