<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
    <context>
        <name>AddBellWindow</name>
        <message>
            <source>添加铃声</source>
            <translation>Add bell</translation>
        </message>
        <message>
            <source>播放时间</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>周一</source>
            <translation>Mon</translation>
        </message>
        <message>
            <source>周二</source>
            <translation>Tue</translation>
        </message>
        <message>
            <source>周三</source>
            <translation>Wed</translation>
        </message>
        <message>
            <source>周四</source>
            <translation>Thu</translation>
        </message>
        <message>
            <source>周五</source>
            <translation>Fri</translation>
        </message>
        <message>
            <source>周六</source>
            <translation>Sat</translation>
        </message>
        <message>
            <source>周日</source>
            <translation>Sun</translation>
        </message>
        <message>
            <source>加入铃声</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>试听</source>
            <translation>Play</translation>
        </message>
    </context>
    <context>
        <name>BellEditing</name>
        <message>
            <source>音乐文件的路径不能保存：%1。请重新选择音乐文件！</source>
            <translation>The music file's path cannot be stored: %1. Please choose the music file again!</translation>
        </message>
        <message>
            <source>开始时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！</source>
            <translation>The start time is wrong: hours are whole numbers from 0 to 23, minutes and seconds from 0 to 59. Please set it again!</translation>
        </message>
        <message>
            <source>结束时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！</source>
            <translation>The end time is wrong: hours are whole numbers from 0 to 23, minutes and seconds from 0 to 59. Please set it again!</translation>
        </message>
        <message>
            <source>你设置的结束时间比开始时间早，请重新设置！</source>
            <translation>The end time you set is earlier than the start time. Please set it again!</translation>
        </message>
        <message>
            <source>音乐文件的路径太长：“%1”最多%2字节，这个路径有%3字节。请把音乐放到路径较短的文件夹中，再选择一次！</source>
            <translation>The music file's path is too long: "%1" holds at most %2 bytes and this path has %3. Please move the music to a folder with a shorter path and choose it again!</translation>
        </message>
        <message>
            <source>信息：</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>不能修改铃声计划：文件 %1 只能读取（没有写入权限），铃声照常响起。</source>
            <translation>The bell schedule cannot be changed: the file %1 can only be read (no permission to write). The bells ring as usual.</translation>
        </message>
        <message>
            <source>请选择添加铃声的音乐文件！</source>
            <translation>Please choose the music file of the bell!</translation>
        </message>
        <message>
            <source>添加铃声失败！</source>
            <translation>The bell could not be added!</translation>
        </message>
        <message>
            <source>对不起！这个时间点已经有铃声！</source>
            <translation>Sorry! A bell already starts at this time!</translation>
        </message>
        <message>
            <source>添加铃声成功</source>
            <translation>Bell added</translation>
        </message>
        <message>
            <source>注意，添加铃声虽然添加成功！但还铃声不会响起，因为你没有选择每周哪一天响起！</source>
            <translation>Note: the bell was added, but it will not ring, because no weekday is ticked for it!</translation>
        </message>
        <message>
            <source>添加铃声成功！铃声将会在%1的%2响起！</source>
            <translation>Bell added! It will ring on %1at %2!</translation>
        </message>
        <message>
            <source>失败</source>
            <translation>Failed</translation>
        </message>
        <message>
            <source>修改失败！</source>
            <translation>The change failed!</translation>
        </message>
        <message>
            <source>修改成功</source>
            <translation>Changed</translation>
        </message>
        <message>
            <source>修改成功！铃声暂时取消！但还保留在铃声计划中，方便下次的调用！</source>
            <translation>Changed! The bell is off for now, but it stays in the schedule to be used again later!</translation>
        </message>
        <message>
            <source>修改成功！铃声将会在%1的%2响起！</source>
            <translation>Changed! The bell will ring on %1at %2!</translation>
        </message>
        <message>
            <source>铃声将会在%1的%2响起！</source>
            <translation>It will ring on %1at %2!</translation>
        </message>
        <message>
            <source>铃声属于作息表“%1”，但还没有哪一天用这个作息表：在校历或作息表窗口里给它日子，它才会在那些天%2的%3响起。</source>
            <translation>The bell belongs to the timetable &quot;%1&quot;, which no day uses yet: give it days in the school calendar or the Timetables window, and it will ring on those days, %2at %3.</translation>
        </message>
        <message>
            <source>铃声将会在作息表“%1”的日子（%2）里，%3的%4响起！</source>
            <translation>It will ring on the days of the timetable &quot;%1&quot; (%2), %3at %4!</translation>
        </message>
        <message>
            <source>添加铃声成功！</source>
            <translation>Bell added! </translation>
        </message>
        <message>
            <source>修改成功！</source>
            <translation>Changed! </translation>
        </message>
        <message>
            <source>请填写语音提醒的文字！</source>
            <translation>Please type the words of the spoken reminder!</translation>
        </message>
        <message>
            <source>语音提醒的文字不能保存：%1。</source>
            <translation>The words of the spoken reminder cannot be stored: %1.</translation>
        </message>
        <message>
            <source>语音提醒的文字太长：“%1”最多%2字节，这段文字有%3字节。</source>
            <translation>The words of the spoken reminder are too long: “%1” holds at most %2 bytes, these words have %3.</translation>
        </message>
    </context>
    <context>
        <name>Calendar</name>
        <message>
            <source>备注不能保存：%1</source>
            <translation>The note cannot be stored: %1</translation>
        </message>
        <message>
            <source>按周一</source>
            <translation>As Monday</translation>
        </message>
        <message>
            <source>按周二</source>
            <translation>As Tuesday</translation>
        </message>
        <message>
            <source>按周三</source>
            <translation>As Wednesday</translation>
        </message>
        <message>
            <source>按周四</source>
            <translation>As Thursday</translation>
        </message>
        <message>
            <source>按周五</source>
            <translation>As Friday</translation>
        </message>
        <message>
            <source>按周六</source>
            <translation>As Saturday</translation>
        </message>
        <message>
            <source>按周日</source>
            <translation>As Sunday</translation>
        </message>
        <message>
            <source>放假</source>
            <translation>Holiday</translation>
        </message>
        <message>
            <source>没有这一天：%1</source>
            <translation>No such day: %1</translation>
        </message>
        <message>
            <source>铃声日只能是 0（放假）或 1..7（按周一..周日响铃）</source>
            <translation>The ring day is 0 (a holiday) or 1..7 (rings as Monday..Sunday)</translation>
        </message>
        <message>
            <source>备注太长：最多 %1 字节</source>
            <translation>The note is too long: %1 bytes at most</translation>
        </message>
        <message>
            <source>结束日期 %1 在开始日期 %2 之前</source>
            <translation>The last day %1 is before the first day %2</translation>
        </message>
        <message>
            <source>一次最多设置 %1 天</source>
            <translation>At most %1 days at once</translation>
        </message>
        <message>
            <source>按作息表的日子要按周一到周日中的一天响铃</source>
            <translation>A day by a timetable must ring as one of Monday to Sunday</translation>
        </message>
    </context>
    <context>
        <name>ChangeBellWindow</name>
        <message>
            <source>修改铃声</source>
            <translation>Change bell</translation>
        </message>
        <message>
            <source>播放时间</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>周一</source>
            <translation>Mon</translation>
        </message>
        <message>
            <source>周二</source>
            <translation>Tue</translation>
        </message>
        <message>
            <source>周三</source>
            <translation>Wed</translation>
        </message>
        <message>
            <source>周四</source>
            <translation>Thu</translation>
        </message>
        <message>
            <source>周五</source>
            <translation>Fri</translation>
        </message>
        <message>
            <source>周六</source>
            <translation>Sat</translation>
        </message>
        <message>
            <source>周日</source>
            <translation>Sun</translation>
        </message>
        <message>
            <source>修改</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>试听</source>
            <translation>Play</translation>
        </message>
    </context>
    <context>
        <name>ClockDisplay</name>
        <message>
            <source>%1年%2月%3日 %4</source>
            <translation>%4 %1-%5-%6</translation>
        </message>
    </context>
    <context>
        <name>ClockSync</name>
        <message>
            <source>时钟未同步：%1</source>
            <translation>The clock is not synchronised: %1</translation>
        </message>
        <message>
            <source>没有时间同步（NTP）在校正系统时钟</source>
            <translation>no time synchronisation (NTP) corrects the system clock</translation>
        </message>
        <message>
            <source>Windows 时间服务被设置为不同步时间</source>
            <translation>the Windows Time service is set not to synchronise the time</translation>
        </message>
        <message>
            <source>Windows 时间服务已被禁用</source>
            <translation>the Windows Time service is disabled</translation>
        </message>
    </context>
    <context>
        <name>MainWindow</name>
        <message>
            <source>读取时间中。。。</source>
            <translation>Reading the time...</translation>
        </message>
        <message>
            <source>暂停计划</source>
            <translation>Pause</translation>
        </message>
        <message>
            <source>停止播放</source>
            <translation>Stop</translation>
        </message>
        <message>
            <source>增加铃声</source>
            <translation>Add bell</translation>
        </message>
        <message>
            <source>播放时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>音乐</source>
            <translation>Music</translation>
        </message>
        <message>
            <source>一</source>
            <translation>M</translation>
        </message>
        <message>
            <source>二</source>
            <translation>T</translation>
        </message>
        <message>
            <source>三</source>
            <translation>W</translation>
        </message>
        <message>
            <source>四</source>
            <translation>T</translation>
        </message>
        <message>
            <source>五</source>
            <translation>F</translation>
        </message>
        <message>
            <source>六</source>
            <translation>S</translation>
        </message>
        <message>
            <source>日</source>
            <translation>S</translation>
        </message>
        <message>
            <source>排序值</source>
            <translation>Sort</translation>
        </message>
        <message>
            <source>修复</source>
            <translation>Fix</translation>
        </message>
    </context>
    <context>
        <name>MusicCheck</name>
        <message>
            <source>不能解码为MP3</source>
            <translation>cannot be decoded as MP3</translation>
        </message>
        <message>
            <source>文件不存在</source>
            <translation>the file does not exist</translation>
        </message>
        <message>
            <source>没有选择音乐</source>
            <translation>no music chosen</translation>
        </message>
        <message>
            <source>文件夹里没有MP3文件</source>
            <translation>the folder holds no MP3 file</translation>
        </message>
        <message>
            <source>文件夹不存在</source>
            <translation>the folder does not exist</translation>
        </message>
        <message>
            <source>铃声的音乐不能播放：%1（%2）</source>
            <translation>A bell's music will not play: %1 (%2)</translation>
        </message>
    </context>
    <context>
        <name>Ringer</name>
        <message>
            <source>铃声计划只能读取：铃声照常响起，但不能修改</source>
            <translation>The bell schedule is read-only: the bells ring, but cannot be changed</translation>
        </message>
        <message>
            <source>表文件 %1 已损坏（%2）：铃声按原来读到的计划响起%3</source>
            <translation>The table file %1 is damaged (%2): the bells ring by the schedule read before%3</translation>
        </message>
        <message>
            <source>；损坏的文件已复制为 %1</source>
            <translation>; the damaged file was copied to %1</translation>
        </message>
        <message>
            <source>表文件已损坏，不能读取：已改名保存为 %1，并新建了一个空的表</source>
            <translation>A table file was damaged and could not be read: it was renamed %1 and an empty table made</translation>
        </message>
        <message>
            <source>广播通知没有安排：这个时间今天已经过了</source>
            <translation>The notice was not kept: that time is already past today</translation>
        </message>
        <message>
            <source>广播通知没有安排：遍数只能是 1 到 3</source>
            <translation>The notice was not kept: it can be said 1 to 3 times</translation>
        </message>
        <message>
            <source>监控指标不能写入 %1：%2</source>
            <translation>The metrics cannot be written to %1: %2</translation>
        </message>
    </context>
    <context>
        <name>ScheduleList</name>
        <message>
            <source>播放时间</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End</translation>
        </message>
        <message>
            <source>音乐</source>
            <translation>Music</translation>
        </message>
        <message>
            <source>一</source>
            <translation>M</translation>
        </message>
        <message>
            <source>二</source>
            <translation>T</translation>
        </message>
        <message>
            <source>三</source>
            <translation>W</translation>
        </message>
        <message>
            <source>四</source>
            <translation>T</translation>
        </message>
        <message>
            <source>五</source>
            <translation>F</translation>
        </message>
        <message>
            <source>六</source>
            <translation>S</translation>
        </message>
        <message>
            <source>日</source>
            <translation>S</translation>
        </message>
    </context>
    <context>
        <name>SecondaryWindow</name>
        <message>
            <source>时</source>
            <translation>hour</translation>
        </message>
        <message>
            <source>分</source>
            <translation>minute</translation>
        </message>
        <message>
            <source>秒</source>
            <translation>second</translation>
        </message>
    </context>
    <context>
        <name>SettingsWindow</name>
        <message>
            <source>自动校正时间</source>
            <translation>Check the clock</translation>
        </message>
        <message>
            <source>设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>开机启动</source>
            <translation>Autostart</translation>
        </message>
        <message>
            <source>播放文件夹内音乐时随机播放音乐</source>
            <translation>Play folders in random order</translation>
        </message>
        <message>
            <source>软件自动更新</source>
            <translation>Update automatically</translation>
        </message>
        <message>
            <source>显示日期、星期</source>
            <translation>Show date and weekday</translation>
        </message>
        <message>
            <source>注册隐藏快捷键（显示\隐藏快捷键Shift  +  T）</source>
            <translation>Show/hide hot key (Shift + T)</translation>
        </message>
        <message>
            <source>定时关机</source>
            <translation>Off at</translation>
        </message>
        <message>
            <source>21</source>
            <translation>21</translation>
        </message>
        <message>
            <source>30</source>
            <translation>30</translation>
        </message>
        <message>
            <source>00</source>
            <translation>00</translation>
        </message>
        <message>
            <source>修改</source>
            <translation>Set</translation>
        </message>
        <message>
            <source>时钟偏移</source>
            <translation>Clock offset</translation>
        </message>
        <message>
            <source>学校的时间 = 系统时间 + 偏移（学校的铃跟着另一个时钟时使用）</source>
            <translation>School time = system time + offset (for a school whose bells follow another clock)</translation>
        </message>
        <message>
            <source> 秒</source>
            <translation> s</translation>
        </message>
        <message>
            <source>学校原来的铃响起时按下：铃声就与它同时响起</source>
            <translation>Press as the school's old bell rings: the bells then ring with it</translation>
        </message>
        <message>
            <source>对时</source>
            <translation>Match</translation>
        </message>
        <message>
            <source>声音输出</source>
            <translation>Sound output</translation>
        </message>
        <message>
            <source>铃声音量</source>
            <translation>Bell volume</translation>
        </message>
        <message>
            <source>铃声自己的音量，系统的音量不变</source>
            <translation>The bells' own volume; the system's volume stays as it is</translation>
        </message>
        <message>
            <source> %</source>
            <translation> %</translation>
        </message>
        <message>
            <source>在选定的输出上，以铃声音量播放下一个铃声的音乐 5 秒</source>
            <translation>Plays the next bell's music for 5 s on the chosen output at the bell volume</translation>
        </message>
        <message>
            <source>试听</source>
            <translation>Try</translation>
        </message>
        <message>
            <source>软件密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>设置后，修改铃声、设置、校历，暂停、停止和退出都要先输入密码</source>
            <translation>Once set, changing bells, settings or the calendar, pausing, stopping and ending the program ask for it first</translation>
        </message>
        <message>
            <source>设置密码</source>
            <translation>Set password</translation>
        </message>
        <message>
            <source>清除密码</source>
            <translation>Clear password</translation>
        </message>
        <message>
            <source>网页</source>
            <translation>Web page</translation>
        </message>
        <message>
            <source>浏览器显示的证书指纹（SHA-256）应与此相同</source>
            <translation>The certificate fingerprint (SHA-256) the browser shows should be the same as this</translation>
        </message>
        <message>
            <source>网页的端口（1024 以上）</source>
            <translation>The page's port (above 1024)</translation>
        </message>
        <message>
            <source>开启</source>
            <translation>Turn on</translation>
        </message>
        <message>
            <source>网页的端口</source>
            <translation>The page's port</translation>
        </message>
        <message>
            <source>语音播报</source>
            <translation>Voice</translation>
        </message>
        <message>
            <source>铃声的语音提醒用这个声音说</source>
            <translation>Bells' spoken reminders are said with this voice</translation>
        </message>
        <message>
            <source>语速</source>
            <translation>Rate</translation>
        </message>
        <message>
            <source>-10 最慢，0 正常，10 最快</source>
            <translation>-10 slowest, 0 normal, 10 fastest</translation>
        </message>
        <message>
            <source>用这个声音和语速说一句话</source>
            <translation>Say a sentence with this voice and rate</translation>
        </message>
        <message>
            <source>监控指标</source>
            <translation>Metrics</translation>
        </message>
        <message>
            <source>写 tolvane.prom 的文件夹，node_exporter 或 windows_exporter 的 textfile 收集器读它；空着就不写</source>
            <translation>The folder tolvane.prom is written to, which node_exporter's or windows_exporter's textfile collector reads; empty: not written</translation>
        </message>
        <message>
            <source>不写</source>
            <translation>Not written</translation>
        </message>
        <message>
            <source>选择写监控指标的文件夹</source>
            <translation>Choose the folder the metrics are written to</translation>
        </message>
        <message>
            <source>选择…</source>
            <translation>Choose…</translation>
        </message>
    </context>
    <context>
        <name>SoundOutput</name>
        <message>
            <source>输出已静音</source>
            <translation>the output is muted</translation>
        </message>
        <message>
            <source>输出端口没有接上（例如耳机插孔已拔出）</source>
            <translation>the output's port is not connected (a headphone plug pulled out, for example)</translation>
        </message>
        <message>
            <source>输出音量只有 %1%</source>
            <translation>the output's volume is only %1%</translation>
        </message>
        <message>
            <source>没有声音输出：没有声音服务器或设备接收声音</source>
            <translation>No sound output: no sound server or device takes the sound</translation>
        </message>
        <message>
            <source>没有声音输出：声音服务器没有默认输出</source>
            <translation>No sound output: the sound server has no default output</translation>
        </message>
        <message>
            <source>选定的声音输出 %1 不存在</source>
            <translation>The sound output chosen, %1, does not exist</translation>
        </message>
        <message>
            <source>声音输出 %1 听不到：%2</source>
            <translation>Nobody can hear the sound output %1: %2</translation>
        </message>
    </context>
    <context>
        <name>Weekdays</name>
        <message>
            <source>周一</source>
            <translation>Mon</translation>
        </message>
        <message>
            <source>周二</source>
            <translation>Tue</translation>
        </message>
        <message>
            <source>周三</source>
            <translation>Wed</translation>
        </message>
        <message>
            <source>周四</source>
            <translation>Thu</translation>
        </message>
        <message>
            <source>周五</source>
            <translation>Fri</translation>
        </message>
        <message>
            <source>周六</source>
            <translation>Sat</translation>
        </message>
        <message>
            <source>周日</source>
            <translation>Sun</translation>
        </message>
    </context>
    <context>
        <name>WebPage</name>
        <message>
            <source>%1 天 %2 小时</source>
            <translation>%1 d %2 h</translation>
        </message>
        <message>
            <source>%1 小时 %2 分</source>
            <translation>%1 h %2 min</translation>
        </message>
        <message>
            <source>%1 分 %2 秒</source>
            <translation>%1 min %2 s</translation>
        </message>
        <message>
            <source>%1 秒</source>
            <translation>%1 s</translation>
        </message>
        <message>
            <source>只接受网页表单</source>
            <translation>Only the page's forms are accepted</translation>
        </message>
        <message>
            <source>不支持此请求方法</source>
            <translation>This request method is not supported</translation>
        </message>
        <message>
            <source>请先登录</source>
            <translation>Please log in first</translation>
        </message>
        <message>
            <source>表单已过期，请回到页面重新提交</source>
            <translation>The form has expired; go back to the page and send it again</translation>
        </message>
        <message>
            <source>没有这个页面</source>
            <translation>No such page</translation>
        </message>
        <message>
            <source>铃声计划</source>
            <translation>Bell schedule</translation>
        </message>
        <message>
            <source>今天</source>
            <translation>Today</translation>
        </message>
        <message>
            <source>铃声</source>
            <translation>Bells</translation>
        </message>
        <message>
            <source>校历</source>
            <translation>School calendar</translation>
        </message>
        <message>
            <source>响铃记录</source>
            <translation>Ring log</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>退出登录</source>
            <translation>Log out</translation>
        </message>
        <message>
            <source>软件密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>登录</source>
            <translation>Log in</translation>
        </message>
        <message>
            <source>正在立即播放（重复，直到停止）：%1</source>
            <translation>Ringing now (again and again until stopped): %1</translation>
        </message>
        <message>
            <source>正在立即播放：%1</source>
            <translation>Ringing now: %1</translation>
        </message>
        <message>
            <source>立即播放</source>
            <translation>Ring now</translation>
        </message>
        <message>
            <source>重复播放，直到停止（演练、紧急信号）</source>
            <translation>Again and again until stopped (a drill, an emergency signal)</translation>
        </message>
        <message>
            <source>前一天</source>
            <translation>The day before</translation>
        </message>
        <message>
            <source>后一天</source>
            <translation>The day after</translation>
        </message>
        <message>
            <source>最新的在最上面。</source>
            <translation>The latest first.</translation>
        </message>
        <message>
            <source>正在核对另一个密码，请稍后再试</source>
            <translation>Another password is being checked; try again in a moment</translation>
        </message>
        <message>
            <source>密码错误次数太多，请 %1 秒后再试</source>
            <translation>Too many wrong passwords; try again in %1 s</translation>
        </message>
        <message>
            <source>密码不对</source>
            <translation>Wrong password</translation>
        </message>
        <message>
            <source>今天：</source>
            <translation>Today: </translation>
        </message>
        <message>
            <source>响铃程序没有回答</source>
            <translation>The ringer did not answer</translation>
        </message>
        <message>
            <source>计划运行中</source>
            <translation>The plan is running</translation>
        </message>
        <message>
            <source>计划已暂停</source>
            <translation>The plan is paused</translation>
        </message>
        <message>
            <source>暂停计划</source>
            <translation>Pause plan</translation>
        </message>
        <message>
            <source>恢复计划</source>
            <translation>Resume plan</translation>
        </message>
        <message>
            <source>现在没有铃声</source>
            <translation>No bell is sounding</translation>
        </message>
        <message>
            <source>正在响：%1</source>
            <translation>Sounding: %1</translation>
        </message>
        <message>
            <source>停止</source>
            <translation>Stop</translation>
        </message>
        <message>
            <source>问题</source>
            <translation>Problems</translation>
        </message>
        <message>
            <source>下一个铃声：%1 %2，还有 %3</source>
            <translation>Next bell: %1 %2, in %3</translation>
        </message>
        <message>
            <source>两周内没有铃声</source>
            <translation>No bell within two weeks</translation>
        </message>
        <message>
            <source>今天的铃声</source>
            <translation>Today's bells</translation>
        </message>
        <message>
            <source>今天没有铃声</source>
            <translation>No bells today</translation>
        </message>
        <message>
            <source>开始</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>结束</source>
            <translation>End</translation>
        </message>
        <message>
            <source>音乐</source>
            <translation>Music</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start time</translation>
        </message>
        <message>
            <source>结束时间（可不填）</source>
            <translation>End time (optional)</translation>
        </message>
        <message>
            <source>响铃的日子</source>
            <translation>Days</translation>
        </message>
        <message>
            <source>还没有铃声</source>
            <translation>No bells yet</translation>
        </message>
        <message>
            <source>日子</source>
            <translation>Days</translation>
        </message>
        <message>
            <source>修改</source>
            <translation>Change</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>添加铃声</source>
            <translation>Add a bell</translation>
        </message>
        <message>
            <source>添加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>没有 %1 开始的铃声</source>
            <translation>No bell starts at %1</translation>
        </message>
        <message>
            <source>修改 %1 的铃声</source>
            <translation>Change the bell at %1</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>删除 %1 开始的铃声？</source>
            <translation>Delete the bell at %1?</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>删除铃声</source>
            <translation>Delete bell</translation>
        </message>
        <message>
            <source>已保存</source>
            <translation>Saved</translation>
        </message>
        <message>
            <source>已删除 %1 的铃声</source>
            <translation>The bell at %1 was deleted</translation>
        </message>
        <message>
            <source>没有放假或调休的日子：每天按自己的星期响铃</source>
            <translation>No holidays or make-up days: every day rings as its own weekday</translation>
        </message>
        <message>
            <source>日期</source>
            <translation>Date</translation>
        </message>
        <message>
            <source>铃声日</source>
            <translation>Rings as</translation>
        </message>
        <message>
            <source>说明</source>
            <translation>Note</translation>
        </message>
        <message>
            <source>恢复正常</source>
            <translation>Back to normal</translation>
        </message>
        <message>
            <source>设置日子</source>
            <translation>Set days</translation>
        </message>
        <message>
            <source>从</source>
            <translation>From</translation>
        </message>
        <message>
            <source>到（可不填）</source>
            <translation>To (optional)</translation>
        </message>
        <message>
            <source>这些日子</source>
            <translation>These days</translation>
        </message>
        <message>
            <source>说明（可不填）</source>
            <translation>Note (optional)</translation>
        </message>
        <message>
            <source>校历不能写入</source>
            <translation>The school calendar cannot be written</translation>
        </message>
        <message>
            <source>已恢复正常</source>
            <translation>Back to normal</translation>
        </message>
        <message>
            <source>查看</source>
            <translation>Show</translation>
        </message>
        <message>
            <source>这一天没有记录</source>
            <translation>Nothing was logged that day</translation>
        </message>
        <message>
            <source>计划已恢复运行</source>
            <translation>The plan runs again</translation>
        </message>
        <message>
            <source>铃声已停止</source>
            <translation>The bell was stopped</translation>
        </message>
        <message>
            <source>原密码</source>
            <translation>Current password</translation>
        </message>
        <message>
            <source>新密码</source>
            <translation>New password</translation>
        </message>
        <message>
            <source>再输一次新密码</source>
            <translation>New password again</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change password</translation>
        </message>
        <message>
            <source>密码修改后，所有登录都要重新登录，桌面程序也用新密码。</source>
            <translation>After a change everyone logs in again, and the desktop program asks for the new password too.</translation>
        </message>
        <message>
            <source>原密码不对</source>
            <translation>The current password is wrong</translation>
        </message>
        <message>
            <source>新密码不能为空</source>
            <translation>The new password cannot be empty</translation>
        </message>
        <message>
            <source>两次输入的新密码不一样</source>
            <translation>The two new passwords differ</translation>
        </message>
        <message>
            <source>网页没有开启：%1</source>
            <translation>The web page is not on: %1</translation>
        </message>
        <message>
            <source>网页没有开启：这个版本不提供网页</source>
            <translation>The web page is not on: this version has no web page</translation>
        </message>
        <message>
            <source>网页没有开启：还没有设置软件密码（在“软件设置”或用 tolvanectl password 设置）</source>
            <translation>The web page is not on: no password is set yet (set one in Settings or with tolvanectl password)</translation>
        </message>
        <message>
            <source>网页没有开启：web_certificate 和 web_key 要一起设置</source>
            <translation>The web page is not on: web_certificate and web_key go together</translation>
        </message>
        <message>
            <source>上传 MP3 到铃声库</source>
            <translation>Upload an MP3 into the bell library</translation>
        </message>
        <message>
            <source>文件太大：最多 %1 MB</source>
            <translation>The file is too large: %1 MB at most</translation>
        </message>
        <message>
            <source>正在上传……</source>
            <translation>Uploading…</translation>
        </message>
        <message>
            <source>上传没有完成：网络断开或电脑没有回答</source>
            <translation>The upload did not finish: the network broke off or the computer did not answer</translation>
        </message>
        <message>
            <source>MP3 文件</source>
            <translation>MP3 file</translation>
        </message>
        <message>
            <source>上传</source>
            <translation>Upload</translation>
        </message>
        <message>
            <source>文件夹：依次播放其中的 MP3</source>
            <translation>Folder: its MP3s play in turn</translation>
        </message>
        <message>
            <source>铃声库是响铃电脑上放铃声的文件夹：添加或修改铃声时，音乐从这里选择。</source>
            <translation>The bell library is the folder of bells on the bell computer: a bell's music is chosen from it.</translation>
        </message>
        <message>
            <source>铃声库里还没有音乐</source>
            <translation>The bell library holds no music yet</translation>
        </message>
        <message>
            <source>名称</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>试听</source>
            <translation>Listen</translation>
        </message>
        <message>
            <source>铃声库</source>
            <translation>Bell library</translation>
        </message>
        <message>
            <source>铃声库里没有这个文件</source>
            <translation>The bell library holds no such file</translation>
        </message>
        <message>
            <source>已放入铃声库：%1</source>
            <translation>Put into the bell library: %1</translation>
        </message>
        <message>
            <source>%1（文件夹：依次播放其中的 MP3）</source>
            <translation>%1 (folder: its MP3s play in turn)</translation>
        </message>
        <message>
            <source>音乐（铃声库里的 MP3 文件或文件夹）</source>
            <translation>Music (an MP3 file or folder of the bell library)</translation>
        </message>
        <message>
            <source>试听或上传音乐：铃声库</source>
            <translation>Listen to or upload music: the bell library</translation>
        </message>
        <message>
            <source>请从铃声库里选择音乐</source>
            <translation>Choose the music from the bell library</translation>
        </message>
        <message>
            <source>只能立即播放铃声库或铃声计划里的音乐</source>
            <translation>Only music of the bell library or the schedule can ring now</translation>
        </message>
        <message>
            <source>今天的作息表：%1（%2）</source>
            <translation>Today's timetable: %1 (%2)</translation>
        </message>
        <message>
            <source>%1（今天）</source>
            <translation>%1 (today)</translation>
        </message>
        <message>
            <source>作息表</source>
            <translation>Timetable</translation>
        </message>
        <message>
            <source>显示</source>
            <translation>Show</translation>
        </message>
        <message>
            <source>按平常的规则</source>
            <translation>By the usual rules</translation>
        </message>
        <message>
            <source>按作息表的日子</source>
            <translation>Days by a timetable</translation>
        </message>
        <message>
            <source>这些日子的作息表</source>
            <translation>These days' timetable</translation>
        </message>
        <message>
            <source>计划没有改变：不认识的操作</source>
            <translation>The plan did not change: unknown action</translation>
        </message>
        <message>
            <source>只接受本页面自己的表单</source>
            <translation>Only this page's own forms are accepted</translation>
        </message>
        <message>
            <source>响哪天的铃声</source>
            <translation>Ring the bells of</translation>
        </message>
        <message>
            <source>铃声库：%1</source>
            <translation>Bell library: %1</translation>
        </message>
        <message>
            <source>月</source>
            <translation>month</translation>
        </message>
        <message>
            <source>日</source>
            <translation>day</translation>
        </message>
        <message>
            <source>到（含这一天）</source>
            <translation>To (that day included)</translation>
        </message>
        <message>
            <source>不按季节</source>
            <translation>No season</translation>
        </message>
        <message>
            <source>按周轮换：打钩的作息表按这个顺序一周一个（都不打钩则不轮换）</source>
            <translation>Weekly rotation: the ticked timetables take a week each in this order (none ticked: no rotation)</translation>
        </message>
        <message>
            <source>从哪一天所在的那一周开始</source>
            <translation>Starting with the week of</translation>
        </message>
        <message>
            <source>作息表的季节和轮换</source>
            <translation>Timetables' seasons and rotation</translation>
        </message>
        <message>
            <source>语音提醒</source>
            <translation>Spoken reminder</translation>
        </message>
        <message>
            <source>铃声放完后说话</source>
            <translation>Speak after the music</translation>
        </message>
        <message>
            <source>说的话</source>
            <translation>Words</translation>
        </message>
        <message>
            <source>如：第3节课上课</source>
            <translation>e.g. 第3节课上课</translation>
        </message>
        <message>
            <source>广播通知</source>
            <translation>Announcement</translation>
        </message>
        <message>
            <source>通知的内容</source>
            <translation>What to announce</translation>
        </message>
        <message>
            <source>如：请各班班主任14:30到会议室开会</source>
            <translation>e.g. 请各班班主任14:30到会议室开会</translation>
        </message>
        <message>
            <source>说几遍</source>
            <translation>Times</translation>
        </message>
        <message>
            <source>现在广播</source>
            <translation>Announce now</translation>
        </message>
        <message>
            <source>通知没有广播：遍数只能是 1 到 3</source>
            <translation>Nothing was announced: it can be said 1 to 3 times</translation>
        </message>
        <message>
            <source>正在广播通知：%1</source>
            <translation>Announcing: %1</translation>
        </message>
        <message>
            <source>先在这里听一遍</source>
            <translation>Hear it here first</translation>
        </message>
        <message>
            <source>今天稍后的广播通知</source>
            <translation>Notices for later today</translation>
        </message>
        <message>
            <source>时间</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>或者在今天的</source>
            <translation>or today at</translation>
        </message>
        <message>
            <source>按时广播</source>
            <translation>Announce at that time</translation>
        </message>
        <message>
            <source>通知没有安排：请填写今天广播的时间</source>
            <translation>The notice was not kept: enter the time today to announce it</translation>
        </message>
        <message>
            <source>通知将在 %1 广播：%2</source>
            <translation>The notice will be announced at %1: %2</translation>
        </message>
        <message>
            <source>没有这个通知：它已经广播过或已取消</source>
            <translation>No such notice: it was announced or cancelled already</translation>
        </message>
        <message>
            <source>通知已取消</source>
            <translation>The notice was cancelled</translation>
        </message>
    </context>
    <context>
        <name>main</name>
        <message>
            <source>信息：</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>打铃程序已经在运行（进程 %1，可能是另一位用户或无窗口打铃启动的），同一个文件夹只能有一个打铃程序。
%2</source>
            <translation>A bell ringer is already running (process %1, perhaps started by another user or as the headless ringer); only one bell ringer may ring from a folder.
%2</translation>
        </message>
        <message>
            <source>错误：</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>不能确定没有别的打铃程序在用这个文件夹，所以不打铃。
%1
%2</source>
            <translation>No other bell ringer can be kept from using this folder, so this one rings nothing.
%1
%2</translation>
        </message>
    </context>
    <context>
        <name>tolvane::AddBellWindow</name>
        <message>
            <source>未选中MP3歌曲，不能播放！</source>
            <translation>No MP3 song is selected, nothing to play!</translation>
        </message>
        <message>
            <source>选填，需要在特定时间停止时打钩。</source>
            <translation>Optional: tick it to stop the bell at a set time.</translation>
        </message>
        <message>
            <source>需要播放本文件夹内的音乐请双击该文件夹！
如果需要随机播放音乐，请在设置中设置随机播放！</source>
            <translation>Double-click a folder to play the music in it!
To play it in random order, turn on random play in the settings!</translation>
        </message>
        <message>
            <source>单击音乐文件可设置该音乐为铃声！</source>
            <translation>Click a music file to make it the bell!</translation>
        </message>
    </context>
    <context>
        <name>tolvane::BellWindow</name>
        <message>
            <source>开始时间</source>
            <translation>Start time</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End time</translation>
        </message>
        <message>
            <source>音乐文件</source>
            <translation>Music file</translation>
        </message>
        <message>
            <source>驱动器</source>
            <translation>Drive</translation>
        </message>
        <message>
            <source>文件夹</source>
            <translation>Folder</translation>
        </message>
        <message>
            <source>音乐文件列表</source>
            <translation>Music files</translation>
        </message>
        <message>
            <source>停止</source>
            <translation>Stop</translation>
        </message>
        <message>
            <source>语音提醒</source>
            <translation>Spoken reminder</translation>
        </message>
        <message>
            <source>铃声放完后说的话，如：第3节课上课</source>
            <translation>Words said after the music, e.g. 第3节课上课</translation>
        </message>
        <message>
            <source>语音提醒的文字</source>
            <translation>Words of the spoken reminder</translation>
        </message>
        <message>
            <source>语音提醒没有做成，只试听音乐：%1</source>
            <translation>The spoken reminder could not be made; only the music plays: %1</translation>
        </message>
    </context>
    <context>
        <name>tolvane::CalendarWindow</name>
        <message>
            <source>校历</source>
            <translation>School calendar</translation>
        </message>
        <message>
            <source>说明（可不填）</source>
            <translation>Note (optional)</translation>
        </message>
        <message>
            <source>放假</source>
            <translation>Holiday</translation>
        </message>
        <message>
            <source>按周X上课</source>
            <translation>Ring as weekday</translation>
        </message>
        <message>
            <source>恢复正常</source>
            <translation>Back to normal</translation>
        </message>
        <message>
            <source>导入节假日安排（.ics）</source>
            <translation>Import holiday plan (.ics)</translation>
        </message>
        <message>
            <source>导入节假日安排</source>
            <translation>Import holiday plan</translation>
        </message>
        <message>
            <source>调休上课</source>
            <translation>Make-up day</translation>
        </message>
        <message>
            <source>从所选日期到：</source>
            <translation>From the selected day to:</translation>
        </message>
        <message>
            <source>校历未能修改：%1</source>
            <translation>The school calendar could not be changed: %1</translation>
        </message>
        <message>
            <source>已导入 %1 天。</source>
            <translation>Imported %1 days.</translation>
        </message>
        <message>
            <source>不能读取、已跳过：%1</source>
            <translation>Could not be read, skipped: %1</translation>
        </message>
        <message>
            <source>日历</source>
            <translation>Calendar</translation>
        </message>
        <message>
            <source>到</source>
            <translation>To</translation>
        </message>
        <message>
            <source>按周几上课</source>
            <translation>Ring as weekday</translation>
        </message>
        <message>
            <source>说明</source>
            <translation>Note</translation>
        </message>
        <message>
            <source>按哪个作息表</source>
            <translation>Which timetable</translation>
        </message>
        <message>
            <source>按作息表</source>
            <translation>By timetable</translation>
        </message>
        <message>
            <source>按作息表里周几的铃声</source>
            <translation>Ring that timetable's bells of</translation>
        </message>
    </context>
    <context>
        <name>tolvane::ChangeBellWindow</name>
        <message>
            <source>未选中MP3歌曲或选择文件夹夹时，不能试播！</source>
            <translation>No MP3 song is selected (or a folder is), nothing to listen to!</translation>
        </message>
    </context>
    <context>
        <name>tolvane::MainWindow</name>
        <message>
            <source>正在立即播放：%1，重复直到停止。</source>
            <translation>Ringing now: %1, again and again until stopped.</translation>
        </message>
        <message>
            <source>正在立即播放：%1。</source>
            <translation>Ringing now: %1.</translation>
        </message>
        <message>
            <source>计划已暂停，铃声不会响起。再按一次恢复计划。</source>
            <translation>The plan is paused: no bell rings. Press again to resume it.</translation>
        </message>
        <message>
            <source>暂停计划：铃声不再响起，直到再按一次。</source>
            <translation>Pause the plan: no bell rings until this is pressed again.</translation>
        </message>
        <message>
            <source>立即播放</source>
            <translation>Ring now</translation>
        </message>
        <message>
            <source>立即播放（重复，直到停止）</source>
            <translation>Ring now, again and again until stopped</translation>
        </message>
        <message>
            <source>不能立即播放：%1</source>
            <translation>Cannot ring now: %1</translation>
        </message>
        <message>
            <source>%1 个铃声的音乐不能播放（见运行日志）。</source>
            <translation>%1 bell(s) cannot play their music (see the ring log).</translation>
        </message>
        <message>
            <source>时钟未同步：铃声可能不准时。</source>
            <translation>Clock not synchronised: bells may be off time.</translation>
        </message>
        <message>
            <source>时钟未同步</source>
            <translation>Clock not synchronised</translation>
        </message>
        <message>
            <source>点击列表框的右键可以增加、修改、删除铃声！

如果不喜欢软件自带的铃声，可以设置其他铃声！</source>
            <translation>Right-click the list to add, change or delete bells!

If you do not like the bells that come with the program, you can choose others!</translation>
        </message>
        <message>
            <source>双击可显示！</source>
            <translation>Double-click to show!</translation>
        </message>
        <message>
            <source>暂停计划</source>
            <translation>Pause</translation>
        </message>
        <message>
            <source>暂停中。。</source>
            <translation>Paused..</translation>
        </message>
        <message>
            <source>软件设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>运行日志</source>
            <translation>Ring log</translation>
        </message>
        <message>
            <source>校历设置</source>
            <translation>School calendar</translation>
        </message>
        <message>
            <source>最小化</source>
            <translation>Minimise</translation>
        </message>
        <message>
            <source>退出</source>
            <translation>Quit</translation>
        </message>
        <message>
            <source>修改铃声</source>
            <translation>Change bell</translation>
        </message>
        <message>
            <source>增加铃声</source>
            <translation>Add bell</translation>
        </message>
        <message>
            <source>删除铃声</source>
            <translation>Delete bell</translation>
        </message>
        <message>
            <source>设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>信息：</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>无法打开或建立铃声计划文件，程序不能运行：
%1</source>
            <translation>The bell schedule files can be neither opened nor created; the program cannot run:
%1</translation>
        </message>
        <message>
            <source>铃声计划保存在：%1</source>
            <translation>The bell schedule is kept in: %1</translation>
        </message>
        <message>
            <source>铃声计划文件已损坏，不能读取。原来的文件已改名保存为 %1，并新建了一个空的文件。</source>
            <translation>A bell schedule file was damaged and could not be read. The old file was kept as %1 and a new empty one was made.</translation>
        </message>
        <message>
            <source>铃声计划只能读取：铃声照常响起，但不能修改。</source>
            <translation>The bell schedule is read-only: the bells ring, but cannot be changed.</translation>
        </message>
        <message>
            <source>铃声计划文件只能读取，不能修改（没有写入权限）。铃声照常响起；要修改铃声，请让管理员给这个用户写入权限：%1</source>
            <translation>The bell schedule files can only be read, not changed (no permission to write). The bells ring as usual; to change bells, ask an administrator to let this user write:%1</translation>
        </message>
        <message>
            <source>运行时出错!</source>
            <translation>Run-time error!</translation>
        </message>
        <message>
            <source>错误代码：%1
错误信息：%2</source>
            <translation>Error code: %1
Error: %2</translation>
        </message>
        <message>
            <source>系统菜单</source>
            <translation>System menu</translation>
        </message>
        <message>
            <source>铃声计划</source>
            <translation>Bell schedule</translation>
        </message>
        <message>
            <source>时钟</source>
            <translation>Clock</translation>
        </message>
        <message>
            <source>删除 %1 的铃声吗？</source>
            <translation>Delete the bell at %1?</translation>
        </message>
        <message>
            <source>。</source>
            <translation>.</translation>
        </message>
        <message>
            <source>铃声听不到</source>
            <translation>The bells cannot be heard</translation>
        </message>
        <message>
            <source>声音输出不能修复：%1</source>
            <translation>The sound output could not be fixed: %1</translation>
        </message>
        <message>
            <source>学校的时间：系统时间 %1 %2 %3 秒</source>
            <translation>School time: system time %1 %2 %3 s</translation>
        </message>
        <message>
            <source>两周之内没有铃声可以试听。</source>
            <translation>No bell rings within two weeks to try.</translation>
        </message>
        <message>
            <source>修复</source>
            <translation>Fix</translation>
        </message>
        <message>
            <source>开启时间同步</source>
            <translation>Turn on time sync</translation>
        </message>
        <message>
            <source>系统的时间同步没有开启：%1</source>
            <translation>The system's time synchronisation was not turned on: %1</translation>
        </message>
        <message>
            <source>今天还有 %1 个铃声，退出后不再响铃。确定退出吗？</source>
            <translation>Bells still due today: %1. None will ring once the program ends. End it?</translation>
        </message>
        <message>
            <source>正在响铃：%1 %2。</source>
            <translation>Ringing: %1 %2.</translation>
        </message>
        <message>
            <source>正在响铃：%1 %2，到 %3。</source>
            <translation>Ringing: %1 %2, until %3.</translation>
        </message>
        <message>
            <source>计划已暂停：铃声不会响起。</source>
            <translation>The plan is paused: no bell will ring.</translation>
        </message>
        <message>
            <source>它正按计划打铃，没有发现问题。</source>
            <translation>It rings to plan, and has found no problem.</translation>
        </message>
        <message>
            <source>计划已暂停</source>
            <translation>The plan is paused</translation>
        </message>
        <message>
            <source>正在响铃</source>
            <translation>Ringing</translation>
        </message>
        <message>
            <source>正在立即播放</source>
            <translation>Ringing now</translation>
        </message>
        <message>
            <source>%1 个铃声不能播放</source>
            <translation>Bells that will not play: %1</translation>
        </message>
        <message>
            <source>计划只能读取</source>
            <translation>Schedule read-only</translation>
        </message>
        <message>
            <source>网页没有开启</source>
            <translation>Page not served</translation>
        </message>
        <message>
            <source>两周内没有要响的铃声</source>
            <translation>No bell due in the next two weeks</translation>
        </message>
        <message>
            <source>下一个铃声 明天 %1</source>
            <translation>Next bell tomorrow %1</translation>
        </message>
        <message>
            <source>下一个铃声 %1 %2</source>
            <translation>Next bell %1 %2</translation>
        </message>
        <message>
            <source>M月d日</source>
            <translation>ddd d MMM</translation>
        </message>
        <message>
            <source>下一个铃声 %1 · 还有 %2 秒</source>
            <translation>Next bell %1 · in %2 s</translation>
        </message>
        <message>
            <source>下一个铃声 %1 · 还有 %2 分钟</source>
            <translation>Next bell %1 · in %2 min</translation>
        </message>
        <message>
            <source>下一个铃声 %1 · 还有 %2 小时 %3 分</source>
            <translation>Next bell %1 · in %2 h %3 min</translation>
        </message>
        <message>
            <source>作息表</source>
            <translation>Timetables</translation>
        </message>
        <message>
            <source>列表显示和修改的作息表</source>
            <translation>The timetable the list shows and edits</translation>
        </message>
        <message>
            <source>（今天）</source>
            <translation> (today)</translation>
        </message>
        <message>
            <source>关于</source>
            <translation>About</translation>
        </message>
        <message>
            <source>表文件已损坏</source>
            <translation>Table file damaged</translation>
        </message>
        <message>
            <source>有上课日不会打铃</source>
            <translation>school days without bells</translation>
        </message>
        <message>
            <source>铃声按系统时间加 %1 秒响起。</source>
            <translation>Bells ring %1 s after the system's time.</translation>
        </message>
        <message>
            <source>铃声按系统时间减 %1 秒响起。</source>
            <translation>Bells ring %1 s before the system's time.</translation>
        </message>
        <message>
            <source> 等 %1 项</source>
            <translation> and more (%1 in all)</translation>
        </message>
        <message>
            <source>语音播报没有做成</source>
            <translation>Speech not made</translation>
        </message>
        <message>
            <source>有铃声的语音播报没有做成，只响音乐（见运行日志）。</source>
            <translation>Some bells' words could not be made; they ring their music alone (see the ring log).</translation>
        </message>
        <message>
            <source>监控指标不能写入</source>
            <translation>Metrics not written</translation>
        </message>
    </context>
    <context>
        <name>tolvane::PasswordGate</name>
        <message>
            <source>请输入软件密码：</source>
            <translation>Password:</translation>
        </message>
        <message>
            <source>密码不对。</source>
            <translation>Wrong password.</translation>
        </message>
        <message>
            <source>密码输错的次数太多，请 %1 秒后再试。</source>
            <translation>Too many wrong passwords: try again in %1 s.</translation>
        </message>
    </context>
    <context>
        <name>tolvane::RingLogWindow</name>
        <message>
            <source>运行日志</source>
            <translation>Ring log</translation>
        </message>
        <message>
            <source>今天还没有运行记录。</source>
            <translation>Nothing has been logged today yet.</translation>
        </message>
    </context>
    <context>
        <name>tolvane::SettingsWindow</name>
        <message>
            <source>信息：</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>对时会把学校的时钟调 %1 秒，让 %2 的铃声在此刻响起。确定要对时吗？</source>
            <translation>Matching would move the school's clock by %1 s, so that the bell of %2 rings now. Match the clock?</translation>
        </message>
        <message>
            <source>设置未能保存：%1</source>
            <translation>The settings could not be saved: %1</translation>
        </message>
        <message>
            <source>Shift+T 热键注册失败：另一个程序已经占用了它，或者桌面不允许注册全局热键。</source>
            <translation>The Shift+T hot key could not be registered: another program holds it, or the desktop does not allow global hot keys.</translation>
        </message>
        <message>
            <source>注册热键成功！</source>
            <translation>Hot key registered!</translation>
        </message>
        <message>
            <source>注销热键成功！</source>
            <translation>Hot key removed!</translation>
        </message>
        <message>
            <source>已设置开机启动</source>
            <translation>It will start with the system</translation>
        </message>
        <message>
            <source>设置注册表失败，请检查注册表是否损坏！</source>
            <translation>Starting with the system could not be set up. Please check that the autostart folder can be written!</translation>
        </message>
        <message>
            <source>已设置开机不启动！</source>
            <translation>It will not start with the system!</translation>
        </message>
        <message>
            <source>关机时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！</source>
            <translation>The power-off time is wrong: hours are whole numbers from 0 to 23, minutes and seconds from 0 to 59. Please set it again!</translation>
        </message>
        <message>
            <source>关机时间</source>
            <translation>Power-off time</translation>
        </message>
        <message>
            <source>系统默认的输出</source>
            <translation>The system's default output</translation>
        </message>
        <message>
            <source>%1（不存在）</source>
            <translation>%1 (not there)</translation>
        </message>
        <message>
            <source>附近没有铃声：请在学校原来的铃响起时按“对时”（前后 5 分钟之内）。</source>
            <translation>No bell is near: press &quot;Match&quot; as the school's old bell rings (within 5 minutes of it).</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change password</translation>
        </message>
        <message>
            <source>设置密码</source>
            <translation>Set password</translation>
        </message>
        <message>
            <source>请输入原来的密码：</source>
            <translation>The password now:</translation>
        </message>
        <message>
            <source>原来的密码不对，密码没有改变。</source>
            <translation>That is not the password: nothing changed.</translation>
        </message>
        <message>
            <source>请输入新密码：</source>
            <translation>New password:</translation>
        </message>
        <message>
            <source>请再输入一次新密码：</source>
            <translation>The new password again:</translation>
        </message>
        <message>
            <source>两次输入的密码不一样，密码没有改变。</source>
            <translation>The two passwords differ: nothing changed.</translation>
        </message>
        <message>
            <source>密码已设置：修改铃声、设置、校历，暂停、停止和退出都要先输入密码。</source>
            <translation>Password set: changing bells, settings or the calendar, pausing, stopping and ending the program ask for it first.</translation>
        </message>
        <message>
            <source>密码已清除。</source>
            <translation>Password cleared.</translation>
        </message>
        <message>
            <source>Shift+T 热键注册失败：这个桌面没有提供全局热键。可以在桌面的键盘设置里添加自定义快捷键 Shift+T，命令为 tolvane --toggle。</source>
            <translation>Shift+T could not be registered: this desktop offers no global keys. Add a custom shortcut Shift+T in the desktop's keyboard settings with the command tolvane --toggle.</translation>
        </message>
        <message>
            <source>桌面把它绑定为 %1。</source>
            <translation>The desktop bound it to %1.</translation>
        </message>
        <message>
            <source>这个桌面没有托盘：“最小化”把窗口放到任务栏。要托盘图标，GNOME 可安装并启用 AppIndicator 扩展（gnome-shell-extension-appindicator），之后再“最小化”即可。</source>
            <translation>This desktop has no tray: &quot;Minimise&quot; puts the window on the taskbar. For a tray icon on GNOME, install and switch on the AppIndicator extension (gnome-shell-extension-appindicator), then minimise again.</translation>
        </message>
        <message>
            <source>未开启</source>
            <translation>Off</translation>
        </message>
        <message>
            <source>证书指纹（SHA-256）：
</source>
            <translation>Certificate fingerprint (SHA-256):
</translation>
        </message>
        <message>
            <source>开启</source>
            <translation>Turn on</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Turn off</translation>
        </message>
        <message>
            <source>正在开启……</source>
            <translation>Starting…</translation>
        </message>
        <message>
            <source>按“开启”，办公室就能用浏览器查看和修改铃声（用软件密码登录）</source>
            <translation>Press Turn on, and the office can see and change the bells in a browser (signing in with the program's password)</translation>
        </message>
        <message>
            <source>网页要用软件密码登录：请先设置一个密码。</source>
            <translation>The page is signed in to with the program's password: set one first.</translation>
        </message>
        <message>
            <source>这台电脑上没有中文语音</source>
            <translation>No Chinese voice on this computer</translation>
        </message>
        <message>
            <source>%1（这台电脑上没有）</source>
            <translation>%1 (not on this computer)</translation>
        </message>
        <message>
            <source>写监控指标的文件夹</source>
            <translation>The folder the metrics are written to</translation>
        </message>
    </context>
    <context>
        <name>Text</name>
        <message>
            <source>含有不是 UTF-8 的字节</source>
            <translation>it holds bytes that are not UTF-8</translation>
        </message>
        <message>
            <source>含有控制字符 %1</source>
            <translation>it holds the control character %1</translation>
        </message>
    </context>
    <context>
        <name>BellLibrary</name>
        <message>
            <source>文件名不能为空，也不能以“.”开头</source>
            <translation>The file name must not be empty or begin with “.”</translation>
        </message>
        <message>
            <source>文件名不能含有 / \ : * ? &quot; &lt; &gt; | 或控制字符</source>
            <translation>The file name must not hold / \ : * ? &quot; &lt; &gt; | or control characters</translation>
        </message>
        <message>
            <source>文件名太长</source>
            <translation>The file name is too long</translation>
        </message>
        <message>
            <source>只能放 MP3 文件（文件名以 .mp3 结尾）</source>
            <translation>Only MP3 files (names ending in .mp3) can be kept</translation>
        </message>
        <message>
            <source>这个文件名在 Windows 上不能用</source>
            <translation>Windows cannot keep a file of this name</translation>
        </message>
        <message>
            <source>铃声库里已经有“%1”：请换一个文件名，或先删除原来的</source>
            <translation>The bell library already holds “%1”: give another name, or delete that one first</translation>
        </message>
        <message>
            <source>文件没能存入铃声库：%1</source>
            <translation>The file could not be put into the bell library: %1</translation>
        </message>
        <message>
            <source>这个文件不能作为铃声播放：%1</source>
            <translation>This file will not play as a bell: %1</translation>
        </message>
        <message>
            <source>同名文件刚刚被放入铃声库</source>
            <translation>A file of the same name was just put into the bell library</translation>
        </message>
        <message>
            <source>立即播放只能播放铃声库里或铃声计划里的音乐：%1</source>
            <translation>Ring now plays only music of the bell library or of the schedule: %1</translation>
        </message>
    </context>
    <context>
        <name>tolvane::MusicChooser</name>
        <message>
            <source>铃声库</source>
            <translation>Bell library</translation>
        </message>
        <message>
            <source>主目录</source>
            <translation>Home</translation>
        </message>
        <message>
            <source>音乐</source>
            <translation>Music</translation>
        </message>
        <message>
            <source>桌面</source>
            <translation>Desktop</translation>
        </message>
    </context>
    <context>
        <name>RingLog</name>
        <message>
            <source>程序启动：</source>
            <translation>Program started: </translation>
        </message>
        <message>
            <source>铃声开始：</source>
            <translation>Bell started: </translation>
        </message>
        <message>
            <source>铃声响起：</source>
            <translation>Bell heard: </translation>
        </message>
        <message>
            <source>铃声已播放：</source>
            <translation>Bell played: </translation>
        </message>
        <message>
            <source>，第一个声音迟到 </source>
            <translation>, first sound late by </translation>
        </message>
        <message>
            <source> 毫秒</source>
            <translation> ms</translation>
        </message>
        <message>
            <source>；系统不告诉声音输出是否静音或音量多大，能否听到未知</source>
            <translation>; the system does not tell whether the output is muted or how loud, so whether it was heard is unknown</translation>
        </message>
        <message>
            <source>铃声没有被听到：</source>
            <translation>Bell not heard: </translation>
        </message>
        <message>
            <source>铃声停止：</source>
            <translation>Bell stopped: </translation>
        </message>
        <message>
            <source>到了结束时间</source>
            <translation>its end time came</translation>
        </message>
        <message>
            <source>播放完毕</source>
            <translation>played to its end</translation>
        </message>
        <message>
            <source>被下一个铃声替换</source>
            <translation>replaced by the next bell</translation>
        </message>
        <message>
            <source>放完了，但没有人听得到</source>
            <translation>played to its end, but nobody could hear it</translation>
        </message>
        <message>
            <source>计划暂停</source>
            <translation>Plan paused</translation>
        </message>
        <message>
            <source>计划恢复运行</source>
            <translation>Plan running again</translation>
        </message>
        <message>
            <source>立即播放：</source>
            <translation>Ring now: </translation>
        </message>
        <message>
            <source>，重复播放直到停止</source>
            <translation>, again and again until stopped</translation>
        </message>
        <message>
            <source>立即播放没有进行：</source>
            <translation>Ring now did not happen: </translation>
        </message>
        <message>
            <source>停止播放</source>
            <translation>Stopped</translation>
        </message>
        <message>
            <source>时钟已同步</source>
            <translation>Clock synchronised</translation>
        </message>
        <message>
            <source>声音输出正常：</source>
            <translation>Sound output fine: </translation>
        </message>
        <message>
            <source>没有声音输出：</source>
            <translation>No sound output: </translation>
        </message>
        <message>
            <source>每个铃声的音乐都能播放</source>
            <translation>Every bell's music will play</translation>
        </message>
        <message>
            <source>铃声的音乐不能播放：</source>
            <translation>A bell's music will not play: </translation>
        </message>
        <message>
            <source>网页已开启：</source>
            <translation>Web page on: </translation>
        </message>
        <message>
            <source>，证书指纹（SHA-256）</source>
            <translation>, certificate fingerprint (SHA-256) </translation>
        </message>
        <message>
            <source>网页已关闭</source>
            <translation>Web page off</translation>
        </message>
        <message>
            <source>网页登录失败：</source>
            <translation>Web page log-in failed: </translation>
        </message>
        <message>
            <source>添加铃声 </source>
            <translation>added bell </translation>
        </message>
        <message>
            <source>修改铃声 </source>
            <translation>changed bell </translation>
        </message>
        <message>
            <source>删除铃声 </source>
            <translation>deleted bell </translation>
        </message>
        <message>
            <source>上传到铃声库 </source>
            <translation>uploaded into the bell library </translation>
        </message>
        <message>
            <source> 被更改：重新读取铃声计划</source>
            <translation> changed: the schedule is read again</translation>
        </message>
        <message>
            <source> 被更改：重新读取校历</source>
            <translation> changed: the school calendar is read again</translation>
        </message>
        <message>
            <source> 被更改：重新读取设置</source>
            <translation> changed: the settings are read again</translation>
        </message>
        <message>
            <source>自动关机：</source>
            <translation>Automatic power-off: </translation>
        </message>
        <message>
            <source>系统结束会话（注销、关机或重启）</source>
            <translation>The system ends the session (log-out, power-off or restart)</translation>
        </message>
        <message>
            <source> 被更改：重新读取作息表</source>
            <translation> changed: the timetables read again</translation>
        </message>
        <message>
            <source>今天的作息表：</source>
            <translation>Today's timetable: </translation>
        </message>
        <message>
            <source>（校历指定）</source>
            <translation> (set by the school calendar)</translation>
        </message>
        <message>
            <source>（按周轮换）</source>
            <translation> (weekly rotation)</translation>
        </message>
        <message>
            <source>（默认）</source>
            <translation> (default)</translation>
        </message>
        <message>
            <source>；校历指定的作息表“</source>
            <translation>; the timetable the school calendar names, &quot;</translation>
        </message>
        <message>
            <source>”已不存在</source>
            <translation>&quot;, no longer exists</translation>
        </message>
        <message>
            <source>，文件夹 </source>
            <translation>, folder </translation>
        </message>
        <message>
            <source>无窗口打铃启动：</source>
            <translation>Headless ringer started: </translation>
        </message>
        <message>
            <source>打铃服务启动：</source>
            <translation>Bell service started: </translation>
        </message>
        <message>
            <source>程序退出</source>
            <translation>Program ended</translation>
        </message>
        <message>
            <source>（会话结束）</source>
            <translation> (session ended)</translation>
        </message>
        <message>
            <source>：今天还有 </source>
            <translation>: </translation>
        </message>
        <message>
            <source> 个铃声不会响起</source>
            <translation> of today's bells will not ring</translation>
        </message>
        <message>
            <source>：今天没有要响的铃声了</source>
            <translation>: no bells left to ring today</translation>
        </message>
        <message>
            <source>收到结束信号 </source>
            <translation>End signal received: </translation>
        </message>
        <message>
            <source>立即播放结束：</source>
            <translation>Ring-now ended: </translation>
        </message>
        <message>
            <source>立即播放等铃声响完再进行：</source>
            <translation>Ring-now waits for the bell to finish: </translation>
        </message>
        <message>
            <source>立即播放取消：</source>
            <translation>Ring-now cancelled: </translation>
        </message>
        <message>
            <source>又有新的立即播放</source>
            <translation>another ring-now was asked</translation>
        </message>
        <message>
            <source>时钟未同步：</source>
            <translation>Clock not synchronised: </translation>
        </message>
        <message>
            <source>保持唤醒：已阻止休眠</source>
            <translation>Staying awake: sleep blocked</translation>
        </message>
        <message>
            <source>保持唤醒：已允许休眠</source>
            <translation>Staying awake: sleep allowed again</translation>
        </message>
        <message>
            <source>铃声库已建立：</source>
            <translation>Bell library made: </translation>
        </message>
        <message>
            <source>，放入了自带的铃声（来自 </source>
            <translation>, with the shipped bells (from </translation>
        </message>
        <message>
            <source>校历：</source>
            <translation>School calendar: </translation>
        </message>
        <message>
            <source> 放假，不响铃</source>
            <translation> is a holiday, no bells</translation>
        </message>
        <message>
            <source>（校历指定，按周一）</source>
            <translation> (school calendar, as Monday)</translation>
        </message>
        <message>
            <source>（校历指定，按周二）</source>
            <translation> (school calendar, as Tuesday)</translation>
        </message>
        <message>
            <source>（校历指定，按周三）</source>
            <translation> (school calendar, as Wednesday)</translation>
        </message>
        <message>
            <source>（校历指定，按周四）</source>
            <translation> (school calendar, as Thursday)</translation>
        </message>
        <message>
            <source>（校历指定，按周五）</source>
            <translation> (school calendar, as Friday)</translation>
        </message>
        <message>
            <source>（校历指定，按周六）</source>
            <translation> (school calendar, as Saturday)</translation>
        </message>
        <message>
            <source>（校历指定，按周日）</source>
            <translation> (school calendar, as Sunday)</translation>
        </message>
        <message>
            <source>语音播报：</source>
            <translation>Spoken: </translation>
        </message>
        <message>
            <source> 的铃声，语音响起</source>
            <translation> bell, words heard</translation>
        </message>
        <message>
            <source> 的铃声，语音已播放，能否听到未知</source>
            <translation> bell, words played; whether they could be heard is unknown</translation>
        </message>
        <message>
            <source> 的铃声，语音没有被听到：</source>
            <translation> bell, words not heard: </translation>
        </message>
        <message>
            <source> 的铃声，语音没有播出：</source>
            <translation> bell, words not played: </translation>
        </message>
        <message>
            <source> 的铃声，语音还没有做好，只响音乐</source>
            <translation> bell, words not made yet, music alone</translation>
        </message>
        <message>
            <source>语音播报已做好：</source>
            <translation>Words made: </translation>
        </message>
        <message>
            <source>语音播报没有做成，铃声只响音乐：</source>
            <translation>Words could not be made, the bell rings its music alone: </translation>
        </message>
    </context>
    <context>
        <name>tolvanectl</name>
        <message>
            <source>警告：</source>
            <translation>warning: </translation>
        </message>
    </context>
    <context>
        <name>Timetable</name>
        <message>
            <source>季节要写成 月-日，例如 05-01 和 09-30，不是“%1”和“%2”</source>
            <translation>A season is written month-day, such as 05-01 and 09-30, not “%1” and “%2”</translation>
        </message>
        <message>
            <source>季节 %1 与作息表“%2”的季节 %3 重叠</source>
            <translation>The season %1 overlaps timetable “%2”'s season %3</translation>
        </message>
        <message>
            <source>没有作息表“%1”</source>
            <translation>There is no timetable &quot;%1&quot;</translation>
        </message>
        <message>
            <source>“%1”是默认的作息表（db.edb），不能改名或删除，也没有季节</source>
            <translation>&quot;%1&quot; is the default timetable (db.edb): it cannot be renamed or deleted, and has no season</translation>
        </message>
        <message>
            <source>请输入作息表的名称</source>
            <translation>Please enter the timetable's name</translation>
        </message>
        <message>
            <source>作息表的名称不能有逗号</source>
            <translation>A timetable's name cannot contain a comma</translation>
        </message>
        <message>
            <source>作息表的名称太长：最多 %1 字节（%2 个汉字）</source>
            <translation>The timetable's name is too long: at most %1 bytes (%2 Chinese characters)</translation>
        </message>
        <message>
            <source>已经有作息表“%1”</source>
            <translation>There is already a timetable &quot;%1&quot;</translation>
        </message>
        <message>
            <source>作息表“%1”在按周轮换中：请先从轮换中去掉它</source>
            <translation>The timetable &quot;%1&quot; is in the weekly rotation: take it out of the rotation first</translation>
        </message>
        <message>
            <source>校历的 %1 按作息表“%2”响铃：请先改掉那一天</source>
            <translation>The school calendar rings %1 by the timetable &quot;%2&quot;: change that day first</translation>
        </message>
        <message>
            <source>按周轮换至少要有两个作息表</source>
            <translation>A weekly rotation needs at least two timetables</translation>
        </message>
        <message>
            <source>按作息表 %1</source>
            <translation>By timetable %1</translation>
        </message>
        <message>
            <source>校历指定</source>
            <translation>set by the school calendar</translation>
        </message>
        <message>
            <source>按周轮换</source>
            <translation>weekly rotation</translation>
        </message>
        <message>
            <source>默认</source>
            <translation>default</translation>
        </message>
        <message>
            <source>按周轮换（自 %1）</source>
            <translation>weekly rotation (from %1)</translation>
        </message>
        <message>
            <source>今天</source>
            <translation>today</translation>
        </message>
        <message>
            <source>作息表“%1”已有 %2 个铃声：加上 --replace 用新的铃声替换它们</source>
            <translation>The timetable &quot;%1&quot; already has %2 bells: add --replace to replace them with the new ones</translation>
        </message>
        <message>
            <source>作息表“%1”现在有 %2 个铃声</source>
            <translation>The timetable &quot;%1&quot; now has %2 bells</translation>
        </message>
        <message>
            <source>作息表“%1”有 %2 个铃声：加上 --yes 才删除它</source>
            <translation>The timetable &quot;%1&quot; has %2 bells: add --yes to delete it</translation>
        </message>
        <message>
            <source>校历指定 %1 天</source>
            <translation>school calendar days: %1</translation>
        </message>
        <message>
            <source>作息表“%1”的表文件“%2”不是这个文件夹里的表：不读取它</source>
            <translation>The table file &quot;%2&quot; of the timetable &quot;%1&quot; is not a table of this folder: it is not read</translation>
        </message>
        <message>
            <source>作息表“%1”的季节不能用（%2）：它只按其他规则响</source>
            <translation>The season of the timetable &quot;%1&quot; cannot be used (%2): it rings by the other rules only</translation>
        </message>
        <message>
            <source>轮换的开始日期“%1”不是日期：轮换不起作用</source>
            <translation>The rotation's start &quot;%1&quot; is not a date: the rotation does nothing</translation>
        </message>
        <message>
            <source>作息表“%1”没有铃声：%2 整季不会打铃</source>
            <translation>The timetable &quot;%1&quot; has no bells: nothing rings all season (%2)</translation>
        </message>
        <message>
            <source>作息表“%1”没有铃声：按周轮换到它的那些周不会打铃</source>
            <translation>The timetable &quot;%1&quot; has no bells: nothing rings in its weeks of the rotation</translation>
        </message>
        <message>
            <source>校历 %1 按作息表 %2，但它%3没有铃声：这天不会打铃</source>
            <translation>The school calendar gives %1 the timetable %2, which has no bells on %3: nothing rings that day</translation>
        </message>
        <message>
            <source>校历 %1 起 %2 天按作息表 %3，但它%4没有铃声：这些天不会打铃</source>
            <translation>The school calendar gives %2 days from %1 the timetable %3, which has no bells on %4: nothing rings those days</translation>
        </message>
        <message>
            <source>“%1”不是 月-日，例如 05-01</source>
            <translation>&quot;%1&quot; is not a month-day such as 05-01</translation>
        </message>
        <message>
            <source>“%1”：没有 %2 月</source>
            <translation>&quot;%1&quot;: there is no month %2</translation>
        </message>
        <message>
            <source>“%1”：%2 月只有 %3 天</source>
            <translation>&quot;%1&quot;: month %2 has only %3 days</translation>
        </message>
        <message>
            <source>季节要有开始和结束两天（月-日），例如 05-01 和 09-30</source>
            <translation>A season needs a first and a last day (month-day), such as 05-01 and 09-30</translation>
        </message>
        <message>
            <source>季节要写成 月-日 至 月-日，例如 05-01 至 09-30，不是“%1”</source>
            <translation>Write a season as month-day to month-day, such as 05-01 to 09-30, not &quot;%1&quot;</translation>
        </message>
        <message>
            <source>%1（%2）</source>
            <translation>%1 (%2)</translation>
        </message>
        <message>
            <source>%1 至 %2</source>
            <translation>%1 to %2</translation>
        </message>
        <message>
            <source>常规作息</source>
            <translation>Regular (常规作息)</translation>
        </message>
        <message>
            <source>；</source>
            <translation>; </translation>
        </message>
    </context>
    <context>
        <name>TimetableCsv</name>
        <message>
            <source>第 %1 行：%2</source>
            <translation>Line %1: %2</translation>
        </message>
        <message>
            <source>要有四列：开始时间,结束时间,音乐,星期</source>
            <translation>Four columns are needed: 开始时间,结束时间,音乐,星期 (start, end, music, weekdays)</translation>
        </message>
        <message>
            <source>星期“%1”看不懂：请写 周一 周二 …，或 周一至周五</source>
            <translation>Weekdays &quot;%1&quot; not understood: write 周一 周二 … or 周一至周五 (Monday to Friday)</translation>
        </message>
        <message>
            <source>第 1 行应是表头：%1</source>
            <translation>Line 1 must be the header: %1</translation>
        </message>
    </context>
    <context>
        <name>TimetableMaking</name>
        <message>
            <source>%1 有两个铃声：一个时间点只能有一个铃声</source>
            <translation>%1 has two bells: a moment can have only one bell</translation>
        </message>
    </context>
    <context>
        <name>tolvane::GenerateTimetableWindow</name>
        <message>
            <source> 分钟</source>
            <translation> min</translation>
        </message>
        <message>
            <source> 节</source>
            <translation> lessons</translation>
        </message>
        <message>
            <source>写入作息表</source>
            <translation>Write to the timetable</translation>
        </message>
        <message>
            <source>没有大课间</source>
            <translation>No long break</translation>
        </message>
        <message>
            <source>第一节课</source>
            <translation>First lesson</translation>
        </message>
        <message>
            <source>每节课</source>
            <translation>Lesson length</translation>
        </message>
        <message>
            <source>课间</source>
            <translation>Break</translation>
        </message>
        <message>
            <source>上午</source>
            <translation>Morning</translation>
        </message>
        <message>
            <source>下午第一节课</source>
            <translation>First afternoon lesson</translation>
        </message>
        <message>
            <source>下午</source>
            <translation>Afternoon</translation>
        </message>
        <message>
            <source>大课间</source>
            <translation>Long break length</translation>
        </message>
        <message>
            <source>上课铃</source>
            <translation>Lesson bell</translation>
        </message>
        <message>
            <source>下课铃</source>
            <translation>End-of-lesson bell</translation>
        </message>
        <message>
            <source>将生成的铃声</source>
            <translation>Bells to be made</translation>
        </message>
        <message>
            <source>第 %1 节 上课 </source>
            <translation>Lesson %1 starts </translation>
        </message>
        <message>
            <source>第 %1 节 下课 </source>
            <translation>Lesson %1 ends </translation>
        </message>
        <message>
            <source>共 %1 个铃声，周一至周五。</source>
            <translation>%1 bells, Monday to Friday.</translation>
        </message>
        <message>
            <source> 节后</source>
            <translation> </translation>
        </message>
        <message>
            <source>大课间在第</source>
            <translation>Long break after lesson</translation>
        </message>
        <message>
            <source>每节课是一场考试，铃声响后说话</source>
            <translation>Each lesson is an exam: its bells speak after the music</translation>
        </message>
        <message>
            <source>考试提醒</source>
            <translation>Exam reminders</translation>
        </message>
        <message>
            <source>结束前提醒</source>
            <translation>Reminder before the end</translation>
        </message>
        <message>
            <source>开始时说</source>
            <translation>Said at the start</translation>
        </message>
        <message>
            <source>结束前说</source>
            <translation>Said before the end</translation>
        </message>
        <message>
            <source>结束时说</source>
            <translation>Said at the end</translation>
        </message>
    </context>
    <context>
        <name>tolvane::TimetableWindow</name>
        <message>
            <source>作息表</source>
            <translation>Timetables</translation>
        </message>
        <message>
            <source>作息表 CSV (*.csv)</source>
            <translation>Timetable CSV (*.csv)</translation>
        </message>
        <message>
            <source>导出作息表</source>
            <translation>Export timetable</translation>
        </message>
        <message>
            <source>导入作息表</source>
            <translation>Import timetable</translation>
        </message>
        <message>
            <source>铃声</source>
            <translation>Bells</translation>
        </message>
        <message>
            <source>规则</source>
            <translation>Rule</translation>
        </message>
        <message>
            <source>新建</source>
            <translation>New</translation>
        </message>
        <message>
            <source>复制</source>
            <translation>Copy</translation>
        </message>
        <message>
            <source>改名</source>
            <translation>Rename</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>季节…</source>
            <translation>Season…</translation>
        </message>
        <message>
            <source>按周轮换…</source>
            <translation>Weekly rotation…</translation>
        </message>
        <message>
            <source>生成作息…</source>
            <translation>Generate…</translation>
        </message>
        <message>
            <source>导入 CSV…</source>
            <translation>Import CSV…</translation>
        </message>
        <message>
            <source>导出 CSV…</source>
            <translation>Export CSV…</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>其余的日子</source>
            <translation>all other days</translation>
        </message>
        <message>
            <source>今天；</source>
            <translation>today; </translation>
        </message>
        <message>
            <source>不能读取</source>
            <translation>unreadable</translation>
        </message>
        <message>
            <source>作息表未能修改：%1</source>
            <translation>The timetables were not changed: %1</translation>
        </message>
        <message>
            <source>新作息表的名称，例如 夏季作息：</source>
            <translation>Name of the new timetable, for example 夏季作息 (summer):</translation>
        </message>
        <message>
            <source>复制“%1”的铃声，新作息表的名称：</source>
            <translation>Copy the bells of &quot;%1&quot;; name of the new timetable:</translation>
        </message>
        <message>
            <source>“%1”的新名称：</source>
            <translation>New name of &quot;%1&quot;:</translation>
        </message>
        <message>
            <source>作息表“%1”有 %2 个铃声。确定要删除它吗？</source>
            <translation>The timetable &quot;%1&quot; has %2 bells. Delete it?</translation>
        </message>
        <message>
            <source>“%1”每年从哪天到哪天使用（月-日 至 月-日，例如 05-01 至 09-30；留空则不按季节）：</source>
            <translation>Which days of each year &quot;%1&quot; rings (MM-DD 至 MM-DD, for example 05-01 至 09-30; empty for no season):</translation>
        </message>
        <message>
            <source>按周轮换的作息表，按顺序用逗号分开（例如 单周,双周；留空则不轮换）：</source>
            <translation>Timetables taking turns week by week, in order, separated by commas (for example 单周,双周; empty for no rotation):</translation>
        </message>
        <message>
            <source>从哪一天所在的那一周开始（年-月-日）：</source>
            <translation>Starting with the week of which day (YYYY-MM-DD):</translation>
        </message>
        <message>
            <source>生成作息：%1</source>
            <translation>Generate timetable: %1</translation>
        </message>
        <message>
            <source>生成的 %1 个铃声将替换“%2”现有的 %3 个铃声。确定吗？</source>
            <translation>The %1 bells generated will replace the %3 bells of &quot;%2&quot;. Go ahead?</translation>
        </message>
        <message>
            <source>文件里的 %1 个铃声将替换“%2”现有的 %3 个铃声。确定吗？</source>
            <translation>The %1 bells of the file will replace the %3 bells of &quot;%2&quot;. Go ahead?</translation>
        </message>
    </context>
    <context>
        <name>Notices</name>
        <message>
            <source>窗口、界面和网络</source>
            <translation>Windows, controls and networking</translation>
        </message>
        <message>
            <source>MP3 解码</source>
            <translation>MP3 decoding</translation>
        </message>
        <message>
            <source>密码的散列（Argon2id）</source>
            <translation>The password&apos;s hash (Argon2id)</translation>
        </message>
        <message>
            <source>读取 iCalendar 校历</source>
            <translation>Reading iCalendar school calendars</translation>
        </message>
        <message>
            <source>读写 CSV 作息表</source>
            <translation>Reading and writing timetables as CSV</translation>
        </message>
        <message>
            <source>网页的 HTTPS</source>
            <translation>HTTPS for the web page</translation>
        </message>
        <message>
            <source>网页的 HTTP（Beast、Asio）</source>
            <translation>HTTP for the web page (Beast, Asio)</translation>
        </message>
        <message>
            <source>运行日志</source>
            <translation>Ring log</translation>
        </message>
        <message>
            <source>运行日志的文字格式</source>
            <translation>Formatting the ring log&apos;s text</translation>
        </message>
        <message>
            <source>读写 tolvane.conf</source>
            <translation>Reading and writing tolvane.conf</translation>
        </message>
        <message>
            <source>C++ 运行库（libstdc++、libgcc）</source>
            <translation>C++ runtime (libstdc++, libgcc)</translation>
        </message>
        <message>
            <source>线程运行库（MinGW-w64）</source>
            <translation>Threads runtime (MinGW-w64)</translation>
        </message>
        <message>
            <source>声音输出（PulseAudio、PipeWire）</source>
            <translation>Sound output (PulseAudio, PipeWire)</translation>
        </message>
        <message>
            <source>系统日志和 D-Bus</source>
            <translation>The system journal and D-Bus</translation>
        </message>
        <message>
            <source>X11 快捷键</source>
            <translation>The X11 hot key</translation>
        </message>
        <message>
            <source>寻找中文字体</source>
            <translation>Finding a Chinese font</translation>
        </message>
        <message>
            <source>语音播报的 MP3 编码</source>
            <translation>MP3 encoding of spoken reminders</translation>
        </message>
        <message>
            <source>语音播报的中文语音</source>
            <translation>The Chinese voice of spoken reminders</translation>
        </message>
    </context>
    <context>
        <name>tolvane::AboutWindow</name>
        <message>
            <source>程序库</source>
            <translation>Library</translation>
        </message>
        <message>
            <source>许可证</source>
            <translation>Licence</translation>
        </message>
        <message>
            <source>用途</source>
            <translation>Used for</translation>
        </message>
        <message>
            <source>关于 Tolvane</source>
            <translation>About Tolvane</translation>
        </message>
        <message>
            <source>学校和工厂的打铃软件。</source>
            <translation>Bell ringing for schools and factories.</translation>
        </message>
        <message>
            <source>Tolvane 是自由软件：你可以按自由软件基金会发布的 GNU 通用公共许可证第 3 版，或（由你选择）任何更高的版本（%1）再发布和修改它。发布它是希望它有用，但不提供任何担保，也没有适销性或适合某一用途的默示担保。</source>
            <translation>Tolvane is free software: you can redistribute it and/or modify it under the terms of the GNU General Public License as published by the Free Software Foundation, either version 3 of the License, or (at your option) any later version (%1). It is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY; without even the implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.</translation>
        </message>
        <message>
            <source>它包含或使用下列程序库，各按其许可证：</source>
            <translation>It contains or uses these libraries, each under its licence:</translation>
        </message>
        <message>
            <source>许可证全文：%1</source>
            <translation>The full licence texts: %1</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>tolvane</name>
        <message>
            <source>季节</source>
            <translation>Season</translation>
        </message>
        <message>
            <source>每年的这些日子用“%1”</source>
            <translation>Use &quot;%1&quot; on these days of each year</translation>
        </message>
        <message>
            <source>从（月-日）</source>
            <translation>From (month-day)</translation>
        </message>
        <message>
            <source>到（月-日，含这一天）</source>
            <translation>To (month-day, that day included)</translation>
        </message>
        <message>
            <source>结束早于开始时跨过新年，例如 10-01 到 04-30。</source>
            <translation>An end before the start wraps the new year, such as 10-01 to 04-30.</translation>
        </message>
        <message>
            <source>按周轮换</source>
            <translation>Weekly rotation</translation>
        </message>
        <message>
            <source>轮流使用的作息表（拖动可改顺序）</source>
            <translation>Timetables taking turns (drag to change the order)</translation>
        </message>
        <message>
            <source>从哪一天所在的那一周开始</source>
            <translation>Starting with the week of</translation>
        </message>
        <message>
            <source>打钩的作息表一周一个轮流使用，按列表的顺序（拖动可改顺序）；都不打钩则不轮换。</source>
            <translation>The ticked timetables take turns a week each, in the list's order (drag to change it); none ticked: no rotation.</translation>
        </message>
    </context>
    <context>
        <name>Mp3Encoder</name>
        <message>
            <source>语音不能编码为 MP3</source>
            <translation>The speech could not be encoded as MP3</translation>
        </message>
        <message>
            <source>这个版本不能生成语音（没有 MP3 编码器）</source>
            <translation>This build cannot make speech (it has no MP3 encoder)</translation>
        </message>
    </context>
    <context>
        <name>Settings</name>
        <message>
            <source>语速应在 %1 到 %2 之间</source>
            <translation>The rate must be between %1 and %2</translation>
        </message>
        <message>
            <source>语音的名字不能保存（最多%1字节）：%2</source>
            <translation>The voice's name cannot be stored (at most %1 bytes): %2</translation>
        </message>
    </context>
    <context>
        <name>SpeechFiles</name>
        <message>
            <source>%1 的铃声的语音播报没有做成（%2）：“%3”</source>
            <translation>The words of the %1 bell could not be made (%2): “%3”</translation>
        </message>
    </context>
    <context>
        <name>SpeechMaking</name>
        <message>
            <source>语音文件没能存入铃声库：%1</source>
            <translation>The speech file could not be stored in the bell library: %1</translation>
        </message>
    </context>
    <context>
        <name>SpeechVoice</name>
        <message>
            <source>普通话（espeak-ng）</source>
            <translation>Mandarin (espeak-ng)</translation>
        </message>
        <message>
            <source>粤语（espeak-ng）</source>
            <translation>Cantonese (espeak-ng)</translation>
        </message>
        <message>
            <source>语音引擎不能启动：</source>
            <translation>The speech engine cannot start: </translation>
        </message>
        <message>
            <source>语音引擎一分钟内没有读完，已停止</source>
            <translation>The speech engine had not finished within a minute and was stopped</translation>
        </message>
        <message>
            <source>这台电脑上没有语音“%1”</source>
            <translation>This computer has no voice “%1”</translation>
        </message>
        <message>
            <source>语音引擎没有读出任何声音</source>
            <translation>The speech engine said nothing</translation>
        </message>
        <message>
            <source>语音引擎 espeak-ng 不能启动（缺少 espeak-ng-data？）</source>
            <translation>The speech engine espeak-ng cannot start (is espeak-ng-data missing?)</translation>
        </message>
        <message>
            <source>这个版本在 Windows 上还不能生成语音</source>
            <translation>This version cannot make speech on Windows yet</translation>
        </message>
        <message>
            <source>语音引擎出错（%1：%2）</source>
            <translation>The speech engine failed (%1: %2)</translation>
        </message>
        <message>
            <source>这台电脑上没有中文语音</source>
            <translation>No Chinese voice on this computer</translation>
        </message>
    </context>
    <context>
        <name>StatusCommand</name>
        <message>
            <source>还没有做好</source>
            <translation>not made yet</translation>
        </message>
    </context>
</TS>
