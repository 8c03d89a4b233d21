// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingLogWords.h"

#include <algorithm>

#include "base/UiText.h"

namespace tolvane {

namespace {

// The phrases the program writes into the ring log, whole or as the head of a line; what follows
// them is a time, a path or a reason the system gave.
const char* const kPhrases[] = {
    UI_TEXT_NOOP("RingLog", "程序启动："),
    UI_TEXT_NOOP("RingLog", "铃声开始："),
    UI_TEXT_NOOP("RingLog", "铃声响起："),
    UI_TEXT_NOOP("RingLog", "铃声已播放："),
    UI_TEXT_NOOP("RingLog", "，第一个声音迟到 "),
    UI_TEXT_NOOP("RingLog", " 毫秒"),
    UI_TEXT_NOOP("RingLog", "；系统不告诉声音输出是否静音或音量多大，能否听到未知"),
    UI_TEXT_NOOP("RingLog", "铃声没有被听到："),
    UI_TEXT_NOOP("RingLog", "铃声停止："),
    UI_TEXT_NOOP("RingLog", "到了结束时间"),
    UI_TEXT_NOOP("RingLog", "播放完毕"),
    UI_TEXT_NOOP("RingLog", "被下一个铃声替换"),
    UI_TEXT_NOOP("RingLog", "放完了，但没有人听得到"),
    UI_TEXT_NOOP("RingLog", "计划暂停"),
    UI_TEXT_NOOP("RingLog", "计划恢复运行"),
    UI_TEXT_NOOP("RingLog", "立即播放："),
    UI_TEXT_NOOP("RingLog", "，重复播放直到停止"),
    UI_TEXT_NOOP("RingLog", "立即播放没有进行："),
    UI_TEXT_NOOP("RingLog", "停止播放"),
    UI_TEXT_NOOP("RingLog", "时钟已同步"),
    UI_TEXT_NOOP("RingLog", "声音输出正常："),
    UI_TEXT_NOOP("RingLog", "没有声音输出："),
    UI_TEXT_NOOP("RingLog", "每个铃声的音乐都能播放"),
    UI_TEXT_NOOP("RingLog", "铃声的音乐不能播放："),
    UI_TEXT_NOOP("RingLog", "语音播报："),
    UI_TEXT_NOOP("RingLog", " 的铃声，语音响起"),
    UI_TEXT_NOOP("RingLog", " 的铃声，语音已播放，能否听到未知"),
    UI_TEXT_NOOP("RingLog", " 的铃声，语音没有被听到："),
    UI_TEXT_NOOP("RingLog", " 的铃声，语音没有播出："),
    UI_TEXT_NOOP("RingLog", " 的铃声，语音还没有做好，只响音乐"),
    UI_TEXT_NOOP("RingLog", "语音播报已做好："),
    UI_TEXT_NOOP("RingLog", "语音播报没有做成，铃声只响音乐："),
    UI_TEXT_NOOP("RingLog", "网页已开启："),
    UI_TEXT_NOOP("RingLog", "，证书指纹（SHA-256）"),
    UI_TEXT_NOOP("RingLog", "网页已关闭"),
    UI_TEXT_NOOP("RingLog", "网页登录失败："),
    UI_TEXT_NOOP("RingLog", "添加铃声 "),
    UI_TEXT_NOOP("RingLog", "修改铃声 "),
    UI_TEXT_NOOP("RingLog", "删除铃声 "),
    UI_TEXT_NOOP("RingLog", "上传到铃声库 "),
    UI_TEXT_NOOP("RingLog", " 被更改：重新读取铃声计划"),
    UI_TEXT_NOOP("RingLog", " 被更改：重新读取校历"),
    UI_TEXT_NOOP("RingLog", " 被更改：重新读取设置"),
    UI_TEXT_NOOP("RingLog", " 被更改：重新读取作息表"),
    UI_TEXT_NOOP("RingLog", "今天的作息表："),
    UI_TEXT_NOOP("RingLog", "（校历指定）"),
    UI_TEXT_NOOP("RingLog", "（按周轮换）"),
    UI_TEXT_NOOP("RingLog", "（默认）"),
    UI_TEXT_NOOP("RingLog", "；校历指定的作息表“"),
    UI_TEXT_NOOP("RingLog", "”已不存在"),
    UI_TEXT_NOOP("RingLog", "自动关机："),
    UI_TEXT_NOOP("RingLog", "系统结束会话（注销、关机或重启）"),
    UI_TEXT_NOOP("RingLog", "，文件夹 "),
    UI_TEXT_NOOP("RingLog", "无窗口打铃启动："),
    UI_TEXT_NOOP("RingLog", "打铃服务启动："),
    UI_TEXT_NOOP("RingLog", "程序退出"),
    UI_TEXT_NOOP("RingLog", "（会话结束）"),
    UI_TEXT_NOOP("RingLog", "：今天还有 "),
    UI_TEXT_NOOP("RingLog", " 个铃声不会响起"),
    UI_TEXT_NOOP("RingLog", "：今天没有要响的铃声了"),
    UI_TEXT_NOOP("RingLog", "收到结束信号 "),
    UI_TEXT_NOOP("RingLog", "立即播放结束："),
    UI_TEXT_NOOP("RingLog", "立即播放等铃声响完再进行："),
    UI_TEXT_NOOP("RingLog", "立即播放取消："),
    UI_TEXT_NOOP("RingLog", "又有新的立即播放"),
    UI_TEXT_NOOP("RingLog", "时钟未同步："),
    UI_TEXT_NOOP("RingLog", "保持唤醒：已阻止休眠"),
    UI_TEXT_NOOP("RingLog", "保持唤醒：已允许休眠"),
    UI_TEXT_NOOP("RingLog", "铃声库已建立："),
    UI_TEXT_NOOP("RingLog", "，放入了自带的铃声（来自 "),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周一）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周二）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周三）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周四）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周五）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周六）"),
    UI_TEXT_NOOP("RingLog", "（校历指定，按周日）"),
    UI_TEXT_NOOP("RingLog", "校历："),
    UI_TEXT_NOOP("RingLog", " 放假，不响铃"),
};

}  // namespace

RingLogWords::RingLogWords() {
    for (const char* phrase : kPhrases) {
        std::string read = uiText("RingLog", phrase);
        if (read != phrase) m_phrases.emplace_back(phrase, std::move(read));
    }
    // "铃声响起：" before "，第一个声音迟到 " would not matter, but a phrase inside a longer one
    // would: the longer is replaced first.
    std::stable_sort(m_phrases.begin(), m_phrases.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

std::string RingLogWords::inReaderWords(const std::string& line) const {
    if (m_phrases.empty()) return line;  // Chinese: as stored
    // The time in its brackets stays; only the message is read in other words.
    const size_t close = line.find("] ");
    const size_t message =
        !line.empty() && line[0] == '[' && close != std::string::npos ? close + 2 : 0;
    std::string said = line;
    for (const auto& [stored, read] : m_phrases) {
        for (size_t at = said.find(stored, message); at != std::string::npos;
             at = said.find(stored, at + read.size()))
            said.replace(at, stored.size(), read);
    }
    return said;
}

}  // namespace tolvane
