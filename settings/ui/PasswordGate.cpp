// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/PasswordGate.h"

#include <chrono>

namespace tolvane {

namespace {

// The lock's time: steady, so that setting the clock opens nothing and shortens no wait.
int64_t steadyNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool PasswordGate::open(const SecretAsker& ask, const MessagePresenter& say) {
    const auto hash = readPasswordHash(m_db);
    if (!hash.isOk() || hash.value().empty()) return true;  // no password set
    if (m_lock.openAt(steadyNowMs())) return true;
    return this->ask(hash.value(), tr("请输入软件密码："), tr("密码不对。"), ask, say);
}

bool PasswordGate::givenAgain(const QString& question, const QString& wrongText,
                              const SecretAsker& ask, const MessagePresenter& say) {
    const auto hash = readPasswordHash(m_db);
    if (!hash.isOk()) {
        say({infoCaption(), hash.status().message()}, QMessageBox::Warning);
        return false;
    }
    if (hash.value().empty()) return true;
    return this->ask(hash.value(), question, wrongText, ask, say);
}

bool PasswordGate::ask(const std::string& stored, const QString& question, const QString& wrongText,
                       const SecretAsker& ask, const MessagePresenter& say) {
    const std::optional<QString> given = ask(question);
    if (!given) return false;
    int wait = 0;
    switch (m_lock.tryPassword(stored, given->toStdString(), steadyNowMs(), &wait)) {
        case PasswordLock::Answer::kOpen:
            return true;
        case PasswordLock::Answer::kWrong:
            say({infoCaption(), wrongText.toStdString()}, QMessageBox::Warning);
            return false;
        case PasswordLock::Answer::kWait:
            say({infoCaption(), tr("密码输错的次数太多，请 %1 秒后再试。").arg(wait).toStdString()},
                QMessageBox::Warning);
            return false;
    }
    return false;
}

}  // namespace tolvane
