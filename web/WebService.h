// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The web page as a whole: its certificate, the HTTPS server and what it answers, for one
// folder. Made by whichever program rings the folder, once the options turn it on.

#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"
#include "settings/core/ProgramOptions.h"
#include "web/Certificate.h"
#include "web/HttpsServer.h"
#include "web/WebApp.h"

namespace tolvane {

// "https://NAME:PORT/" for the first name the certificate holds after localhost.
std::string webAddressOf(const WebCertificate& certificate, int port);

// "https://HOST:PORT/" for each name or address the machine answers to but the loopback ones: the
// IPv4 addresses first (an office PC reaches them without asking the network for a name), then
// the names, then the IPv6 addresses.
std::vector<std::string> webAddressesOf(const std::vector<std::string>& names, int port);

class WebService {
public:
    // Serves folder's page on options.webPort. Refused, saying why, without a password (the page
    // would be open to anyone), with a certificate that cannot be read or made, or a port taken.
    static Result<std::unique_ptr<WebService>> start(const std::string& folder,
                                                     const ProgramOptions& options,
                                                     WebRinger& ringer,
                                                     const UiTextTranslator* english,
                                                     HttpsServer::Limits limits = {});
    ~WebService();

    const WebCertificate& certificate() const { return m_certificate; }
    uint16_t port() const { return m_server->port(); }
    std::string address() const { return webAddressOf(m_certificate, port()); }
    std::vector<std::string> addresses() const { return webAddressesOf(m_hostNames, port()); }

private:
    WebService() = default;
    WebCertificate m_certificate;
    std::vector<std::string> m_hostNames;
    std::unique_ptr<WebApp> m_app;
    std::unique_ptr<HttpsServer> m_server;  // after the app: it goes first
};

// Why the folder's page cannot be served ("没有设置软件密码"), or empty: said at start and by
// tolvanectl status before any server is tried; in this thread's language.
std::string webPageRefusal(const ProgramOptions& options, bool passwordSet);

}  // namespace tolvane
