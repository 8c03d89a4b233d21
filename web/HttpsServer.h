// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The web page's transport: HTTPS only, on Boost.Beast and Asio with OpenSSL. Beast parses every
// request within the limits below (a header or a body past them is refused before it is kept).
// The screen sees each request's header first: it may answer from the header alone (the body is
// then never kept), or have the body written to a new file as it arrives (an upload never sits
// in memory). The handler sees the whole request and answers it. Connections are served on
// threads of the server's own, never on the thread that rings the bells.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Status.h"

namespace tolvane {

struct HttpRequest {
    std::string method;  // "GET", "POST", …
    std::string target;  // "/schedule?x=1"
    std::string host;
    std::string cookie;
    std::string contentType;
    std::string acceptLanguage;
    std::string origin;        // the Origin header; empty when the browser sent none
    std::string secFetchSite;  // "same-origin", "cross-site", …; empty when not sent
    std::string body;
    // The file the body was written to when the screen asked for one (body is then empty); the
    // server removes it after the handler unless the handler moved it away.
    std::string bodyFile;
    std::string clientAddress;  // "192.168.1.20", "::1"

    // The path without its query, and the query alone.
    std::string path() const;
    std::string query() const;
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

// Headers every answer carries, the server's own refusals too: nothing from elsewhere, no frames,
// no guessing of types, nothing kept by a shared computer's browser.
const std::vector<std::pair<std::string, std::string>>& webSecurityHeaders();

class HttpsServer {
public:
    struct Limits {
        size_t headerBytes = 8 * 1024;
        size_t bodyBytes = 64 * 1024;
        // A client that has not finished its handshake, or its request, by then is dropped: a
        // slow handshake holds a slot the office may need.
        int handshakeSeconds = 2;
        int requestSeconds = 30;
        int maxConnections = 64;
        // One desk (or one attacker) cannot take every connection.
        int maxConnectionsPerAddress = 16;
        // Requests to uploadPath (the path alone, without the query) may carry uploadBytes and
        // take uploadSeconds; none when it is empty.
        std::string uploadPath;
        size_t uploadBytes = 0;
        int uploadSeconds = 300;
        // Three: a known desk's log-in may wait on one for the password hash another makes on a
        // second, and the office's pages are still served on the third.
        int threads = 3;
    };
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    // What to do with a request whose header alone has arrived (its body empty).
    struct Screening {
        // Answered at once: the body is not kept (a little is read and dropped, so the client
        // hears the answer), and the connection closes.
        std::optional<HttpResponse> answer;
        // The client is known (logged in): the body it still sends after such an answer is read
        // and dropped to its end (never kept), so that its browser, still sending, hears it.
        bool dropWholeBody = false;
        // The body goes into this file, made new (never one that is there); empty: into memory.
        std::string bodyFile;
    };
    using Screen = std::function<Screening(const HttpRequest& header)>;

    // Listens on port (every address, IPv6 and IPv4; 0 picks a free port) with the certificate
    // chain and key in PEM files. Fails saying why (the port taken, a key that does not fit).
    // Without a screen every body is read into memory.
    static Result<std::unique_ptr<HttpsServer>> start(uint16_t port,
                                                      const std::string& certificatePath,
                                                      const std::string& keyPath, Handler handler,
                                                      Limits limits, Screen screen = {});
    // Stops listening, drops the connections and joins the threads.
    ~HttpsServer();
    uint16_t port() const;

    struct Impl;

private:
    explicit HttpsServer(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tolvane
