#include "web/WebService.h"

#include <chrono>

#include "base/UiText.h"
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
    WebApp::Setup setup;
    setup.folder = folder;
    setup.ringer = &ringer;
    setup.hostNames = std::move(names);
    setup.english = english;
    setup.nowMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    page->m_app = std::make_unique<WebApp>(std::move(setup));
    auto server = HttpsServer::start(
        static_cast<uint16_t>(options.webPort), page->m_certificate.certificatePath,
        page->m_certificate.keyPath,
        [app = page->m_app.get()](const HttpRequest& r) { return app->handle(r); }, limits);
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

}  // namespace tolvane
