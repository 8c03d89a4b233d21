// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop's one way to ask for the program's password, for every window it guards: one lock
// (open for five minutes after a right answer), one guess limit, the same words.

#include <QCoreApplication>
#include <QString>

#include "settings/core/Password.h"
#include "ui/SecondaryWindow.h"

namespace tolvane {

class PasswordGate {
    Q_DECLARE_TR_FUNCTIONS(tolvane::PasswordGate)
public:
    explicit PasswordGate(TableDatabase& db) : m_db(db) {}

    // Whether what the password guards may go on: none is set, a right one was given within the
    // open time, or it is given now. A wrong one or a wait is said.
    bool open(const SecretAsker& ask, const MessagePresenter& say);
    // The password typed now, open or not (before it is changed or cleared); wrongText is said
    // for a wrong one. Its tries count against the same limit.
    bool givenAgain(const QString& question, const QString& wrongText, const SecretAsker& ask,
                    const MessagePresenter& say);
    // The password changed or was cleared: asked again next time.
    void close() { m_lock.close(); }

private:
    // Asks, checks against stored, says what went wrong.
    bool ask(const std::string& stored, const QString& question, const QString& wrongText,
             const SecretAsker& ask, const MessagePresenter& say);

    TableDatabase& m_db;
    PasswordLock m_lock;
};

}  // namespace tolvane
