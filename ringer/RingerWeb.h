// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The web page as the ringer serves it: started when the options turn it on and a password is
// set, started anew when either changes, stopped with the ringer. Its requests are answered on
// the page's own threads; what they ask of the ringer itself (its state, pause, resume, Stop)
// is run on the ringer's thread.

#include <memory>
#include <string>
#include <vector>

#include "settings/core/ProgramOptions.h"

namespace tolvane {

class Ringer;

class RingerWeb {
public:
    explicit RingerWeb(Ringer& ringer);
    ~RingerWeb();

    // Starts, restarts or stops the page as options and the password say; true when what it
    // says (problem, address, fingerprint) changed. Each change is said in the ring log.
    bool follow(const ProgramOptions& options, bool passwordSet);
    // Why the page that the options ask for is not served, in this thread's language; empty
    // when it is, or is off.
    std::string problem() const;
    // "https://…:8443/" and the certificate's SHA-256 fingerprint while the page is served.
    const std::string& address() const { return m_address; }
    const std::string& fingerprint() const { return m_fingerprint; }
    // Every address the page answers at, by IP address first.
    const std::vector<std::string>& addresses() const { return m_addresses; }

    struct Served;

private:
    Ringer& m_ringer;
    std::unique_ptr<Served> m_served;
    // What the page was last started (or refused) for.
    ProgramOptions m_for;
    bool m_forPassword = false;
    bool m_followed = false;
    std::string m_startFailure;  // why the page asked for could not start
    std::string m_problem;       // as last said in the ring log
    std::string m_address;
    std::vector<std::string> m_addresses;
    std::string m_fingerprint;
};

}  // namespace tolvane
