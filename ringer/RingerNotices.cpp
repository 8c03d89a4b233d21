// SPDX-License-Identifier: GPL-3.0-or-later
// 广播通知 at a time of today: kept in the folder, said as 立即播放 when due.
#include <algorithm>

#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "ringer/Ringer.h"

namespace tolvane {
namespace {

std::string noticeSaid(const TimedNotice& n) {
    return "“" + n.text + "”（" + timeText(n.at) + "，" + n.who + "）";
}

}  // namespace

Status Ringer::sayAt(const std::string& text, int times, int secondOfToday,
                     const std::string& who) {
    const LocalTime now = m_clock.toLocal(m_clock.nowMs() / 1000);
    if (secondOfToday <= secondOfDay(now) || secondOfToday >= 24 * 3600)
        return Status::invalidArgument(uiText("Ringer", "广播通知没有安排：这个时间今天已经过了"));
    if (times < 1 || times > kMostNoticeTimes)
        return Status::invalidArgument(uiText("Ringer", "广播通知没有安排：遍数只能是 1 到 3"));
    TimedNotice notice;
    for (const TimedNotice& n : m_notices) notice.id = std::max(notice.id, n.id);
    ++notice.id;
    notice.at = atSecondOfDay(now, secondOfToday);
    notice.text = oneLineNotice(text);
    notice.times = times;
    notice.who = oneLineNotice(who);
    m_notices.push_back(notice);
    m_log->note("广播通知已安排：" + noticeSaid(notice) +
                (times > 1 ? "，说 " + std::to_string(times) + " 遍" : ""));
    keepNotices();
    stateChanged();
    return Status::ok();
}

bool Ringer::cancelNotice(int id, const std::string& who) {
    const auto it = std::find_if(m_notices.begin(), m_notices.end(),
                                 [id](const TimedNotice& n) { return n.id == id; });
    if (it == m_notices.end()) return false;
    m_log->note("广播通知已取消：" + noticeSaid(*it) + "（" + who + "）");
    m_notices.erase(it);
    keepNotices();
    stateChanged();
    return true;
}

void Ringer::sayDueNotices() {
    if (m_notices.empty()) return;
    const DueNotices due = takeDueNotices(m_notices, m_clock.toLocal(m_clock.nowMs() / 1000));
    if (due.say.empty() && due.missed.empty()) return;
    for (const TimedNotice& n : due.missed)
        m_log->warn("广播通知没有进行：过了时间，程序当时没有运行或计划暂停：" + noticeSaid(n));
    for (const TimedNotice& n : due.say) {
        if (m_plan == PlanState::kRunning)
            sayNotice(n);
        else
            m_log->warn("广播通知没有进行：计划暂停中：" + noticeSaid(n));
    }
    keepNotices();
    stateChanged();
}

void Ringer::sayNotice(const TimedNotice& notice) {
    const std::string who = notice.who + "，广播通知“" + notice.text + "”";
    const auto say = [this, who](const std::string& file) {
        if (Status s = ringNow(file, false, who); !s.isOk())
            m_log->warn("广播通知没有进行：" + s.message() + "（" + who + "）");
    };
    const std::string speech = noticeSpeech(notice.text, notice.times);
    if (const std::string file = readySpeechFile(speech); !file.empty()) return say(file);
    // Made when it was asked for; gone since (the folder was cleaned): late, but said.
    makeSpeechThen(speech, [this, say, who](Result<std::string> file) {
        if (!file.isOk())
            return m_log->warn("广播通知没有进行：语音没有做成：" + file.status().message() + "（" +
                               who + "）");
        say(file.value());
    });
}

void Ringer::keepNotices() {
    const Status s = writeTimedNotices(*FileSystem::platform(), m_folder, m_notices);
    // Said once: the notices are said all the same while this ringer runs.
    if (!s.isOk() && s.message() != m_noticesFileError)
        m_log->warn("广播通知不能保存，程序重新启动后不会再说：" + s.message());
    m_noticesFileError = s.isOk() ? std::string() : s.message();
}

}  // namespace tolvane
