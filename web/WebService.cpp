// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebService.h"

#include <algorithm>
#include <chrono>

#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "platform/HostNames.h"

namespace tolvane {

std::string webPageRefusal(const ProgramOptions& options, bool passwordSet) {
    if (options.webPort == 0) return {};
    if (!passwordSet)
        return uiText(
            "WebPage",
            "网页没有开启：还没有设置软件密码（在“软件设置”或用 tolvanectl password 设置）");
    if (options.webCertificate.empty() != options.webKey.empty())
        return uiText("WebPage", "网页没有开启：web_certificate 和 web_key 要一起设置");
    return {};
}

Result<std::unique_ptr<WebService>> WebService::start(const std::string& folder,
                                                      const ProgramOptions& options,
                                                      WebRinger& ringer,
                                                      const UiTextTranslator* english,
                                                      HttpsServer::Limits limits) {
    std::unique_ptr<WebService> page(new WebService);
    const std::vector<std::string> machine = thisMachinesNames();
    auto certificate =
        loadOrMakeCertificate(folder, machine, options.webCertificate, options.webKey);
    if (!certificate.isOk()) return certificate.status();
    page->m_certificate = std::move(certificate).value();
    // The names the certificate holds, and the addresses the machine has now (a DHCP address
    // may have changed since it was made; the browser then warns, but the page still answers).
    std::vector<std::string> names = page->m_certificate.names;
    names.insert(names.end(), machine.begin(), machine.end());
    page->m_hostNames = names;
    WebApp::Setup setup;
    setup.folder = folder;
    setup.ringer = &ringer;
    setup.hostNames = std::move(names);
    setup.english = english;
    // The page's private key is this computer's secret already: desks' marks are signed with it,
    // so they outlive a restart, and a new certificate ends them.
    if (auto key = readWholeFile(*FileSystem::platform(), page->m_certificate.keyPath); key.isOk())
        setup.deskKey = std::move(key).value();
    setup.nowMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    page->m_app = std::make_unique<WebApp>(std::move(setup));
    if (limits.uploadPath.empty()) {
        limits.uploadPath = WebApp::kUploadPath;
        limits.uploadBytes = WebApp::kMaxUploadBytes;
    }
    auto server = HttpsServer::start(
        static_cast<uint16_t>(options.webPort), page->m_certificate.certificatePath,
        page->m_certificate.keyPath,
        [app = page->m_app.get()](const HttpRequest& r) { return app->handle(r); }, limits,
        [app = page->m_app.get()](const HttpRequest& header) { return app->screen(header); });
    if (!server.isOk()) return server.status();
    page->m_server = std::move(server).value();
    return page;
}

WebService::~WebService() = default;

std::string webAddressOf(const WebCertificate& certificate, int port) {
    std::string host = "localhost";
    for (const std::string& name : certificate.names)
        if (name != "localhost" && name != "127.0.0.1" && name != "::1") {
            host = name.find(':') != std::string::npos ? "[" + name + "]" : name;
            break;
        }
    return "https://" + host + ":" + std::to_string(port) + "/";
}

namespace {

bool isLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

bool isIpv4(const std::string& host) {
    return !host.empty() && host.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace

std::vector<std::string> webAddressesOf(const std::vector<std::string>& names, int port) {
    std::vector<std::string> hosts;
    for (const std::string& name : names)
        if (!name.empty() && !isLoopback(name) &&
            std::find(hosts.begin(), hosts.end(), name) == hosts.end())
            hosts.push_back(name);
    const auto rank = [](const std::string& host) {
        return isIpv4(host) ? 0 : host.find(':') == std::string::npos ? 1 : 2;
    };
    std::stable_sort(hosts.begin(), hosts.end(),
                     [&](const std::string& a, const std::string& b) { return rank(a) < rank(b); });
    std::vector<std::string> addresses;
    for (const std::string& host : hosts)
        addresses.push_back("https://" + (rank(host) == 2 ? "[" + host + "]" : host) + ":" +
                            std::to_string(port) + "/");
    return addresses;
}

}  // namespace tolvane
