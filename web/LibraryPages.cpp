// SPDX-License-Identifier: GPL-3.0-or-later
// The 铃声库: its files with 试听 in the browser, and MP3 files uploaded into it.

#include <algorithm>

#include "base/PathText.h"
#include "platform/FileSystem.h"
#include "schedule/core/BellLibrary.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

// The upload form: the script (upload.js) sends the file as it is and says how it went; the
// limits are told to it so that a file too large is refused before it is sent.
Html uploadForm(const std::string& token) {
    return html(
        "<h2>{}</h2><form id=\"upload\" class=\"bell\" data-limit=\"{}\" data-too-large=\"{}\" "
        "data-sending=\"{}\" data-failed=\"{}\">{}<label>{}<input type=\"file\" name=\"file\" "
        "accept=\".mp3,audio/mpeg\" required></label><button type=\"submit\">{}</button></form>"
        "<p id=\"upload-said\" role=\"status\"></p><script src=\"/upload.js\"></script>",
        uiText("WebPage", "上传 MP3 到铃声库"), WebApp::kMaxUploadBytes,
        fillIn(uiText("WebPage", "文件太大：最多 %1 MB"),
               {std::to_string(WebApp::kMaxUploadBytes / (1024 * 1024))}),
        uiText("WebPage", "正在上传……"), uiText("WebPage", "上传没有完成：网络断开或电脑没有回答"),
        hiddenToken(token), uiText("WebPage", "MP3 文件"), uiText("WebPage", "上传"));
}

}  // namespace

HttpResponse WebApp::libraryPage(Context& c) {
    Html rows;
    for (const LibraryEntry& entry : listBellLibrary(m_setup.folder))
        rows += entry.folder ? html("<tr><td>{}</td><td>{}</td></tr>", entry.name,
                                    uiText("WebPage", "文件夹：依次播放其中的 MP3"))
                             : html(
                                   "<tr><td>{}</td><td><audio controls preload=\"none\" "
                                   "src=\"/library/file?name={}\"></audio></td></tr>",
                                   entry.name, urlEncoded(entry.name));
    Html body = html("<p>{}</p>", uiText("WebPage",
                                         "铃声库是响铃电脑上放铃声的文件夹：添加或修改铃声时，"
                                         "音乐从这里选择。"));
    body +=
        rows.empty()
            ? html("<p>{}</p>", uiText("WebPage", "铃声库里还没有音乐"))
            : html(
                  "<table class=\"library\"><thead><tr><th>{}</th><th>{}</th></tr></thead><tbody>{}"
                  "</tbody></table>",
                  uiText("WebPage", "名称"), uiText("WebPage", "试听"), rows);
    return page(c, uiText("WebPage", "铃声库"), body + uploadForm(c.session->formToken));
}

HttpResponse WebApp::libraryFile(Context& c) {
    const std::string name = field(c.query, "name");
    // Only a file the library lists: a name from the request reaches no other file.
    const std::vector<LibraryEntry> entries = listBellLibrary(m_setup.folder);
    const LibraryEntry wanted{name, false};
    if (std::find(entries.begin(), entries.end(), wanted) == entries.end())
        return plain(404, uiText("WebPage", "铃声库里没有这个文件"));
    auto bytes =
        readWholeFile(*FileSystem::platform(), joinPath(bellLibraryFolder(m_setup.folder), name));
    if (!bytes.isOk()) return plain(404, bytes.status().message());
    HttpResponse r;
    r.contentType = "audio/mpeg";
    if (c.request.method != "HEAD") r.body = std::move(bytes).value();
    return r;
}

std::optional<HttpResponse> WebApp::uploadRefusal(Context& c) {
    const std::string name = field(c.form, "name");
    const Status may = libraryNameStatus(m_setup.folder, name);
    if (may.isOk()) return std::nullopt;
    m_sessions.setNotice(c.session->id, may.message(), true);
    return plain(422, may.message());
}

HttpResponse WebApp::uploadToLibrary(Context& c) {
    const std::string name = field(c.form, "name");
    const auto unplayable = [this](const std::string& file) {
        return m_setup.ringer->fileUnplayableBecause(file);
    };
    // The server wrote the body into a hidden file of the library as it came; a request made
    // without the server (a test) brings it in memory.
    const Status added = c.request.bodyFile.empty()
                             ? addToBellLibrary(*FileSystem::platform(), m_setup.folder, name,
                                                c.request.body, unplayable)
                             : moveIntoBellLibrary(*FileSystem::platform(), m_setup.folder, name,
                                                   c.request.bodyFile, unplayable);
    const std::string said =
        added.isOk() ? fillIn(uiText("WebPage", "已放入铃声库：%1"), {name}) : added.message();
    m_sessions.setNotice(c.session->id, said, !added.isOk());
    if (added.isOk()) logChange(c, "上传到铃声库 " + name);
    // The script shows the library again, with the notice; the status is for anyone else.
    return plain(added.isOk() ? 200 : 422, said);
}

}  // namespace tolvane
