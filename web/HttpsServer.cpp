// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/HttpsServer.h"

#include <array>
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/SystemError.h"

namespace tolvane {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

std::string HttpRequest::path() const {
    return target.substr(0, target.find('?'));
}

std::string HttpRequest::query() const {
    const size_t mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

const std::vector<std::pair<std::string, std::string>>& webSecurityHeaders() {
    static const std::vector<std::pair<std::string, std::string>> headers{
        {"Content-Security-Policy",
         "default-src 'self'; form-action 'self'; frame-ancestors 'none'"},
        {"X-Frame-Options", "DENY"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    };
    return headers;
}

namespace {

// A connection the server may close to make room: one that waits for its client (its handshake
// or its next request), never one whose answer is being made or sent.
class Evictable {
public:
    virtual ~Evictable() = default;
    virtual void evict() = 0;
    std::atomic<bool> waitingForClient{true};
    std::atomic<int64_t> lastHeardFrom{0};  // steady-clock ticks
};

int64_t ticksNow() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// A body written to a file as it arrives, through the program's own file system (UTF-8 names on
// Windows too): an upload never sits in memory whole.
struct FileSinkBody {
    struct value_type {
        std::unique_ptr<RandomAccessFile> file;
        uint64_t size = 0;
        std::string problem;  // why a write failed (a full disk), the system's words
    };

    class reader {
    public:
        template <bool isRequest, class Fields>
        reader(http::header<isRequest, Fields>&, value_type& body) : m_body(body) {}
        void init(const boost::optional<std::uint64_t>&, beast::error_code& ec) { ec = {}; }
        template <class ConstBufferSequence>
        size_t put(const ConstBufferSequence& buffers, beast::error_code& ec) {
            size_t taken = 0;
            for (auto it = asio::buffer_sequence_begin(buffers);
                 it != asio::buffer_sequence_end(buffers); ++it) {
                const asio::const_buffer piece = *it;
                const Status s = m_body.file->write(
                    m_body.size,
                    std::string_view(static_cast<const char*>(piece.data()), piece.size()));
                if (!s.isOk()) {
                    m_body.problem = s.message();
                    ec = boost::system::errc::make_error_code(boost::system::errc::io_error);
                    return taken;
                }
                m_body.size += piece.size();
                taken += piece.size();
            }
            ec = {};
            return taken;
        }
        void finish(beast::error_code& ec) { ec = {}; }

    private:
        value_type& m_body;
    };
};

}  // namespace

struct HttpsServer::Impl {
    Impl(Handler h, Limits l)
        : handler(std::move(h)), limits(l), ssl(asio::ssl::context::tls_server), acceptor(io) {}

    // In this order: the context goes after the threads and the acceptor, and takes the
    // connections its queued handlers still hold with it while what they use is still there.
    Handler handler;
    Screen screen;
    Limits limits;
    std::atomic<int> connections{0};
    std::mutex addressesMutex;
    std::map<std::string, int> connectionsFrom;
    // Every open connection, under addressesMutex; a closed one's entry expires on its own.
    std::vector<std::pair<std::weak_ptr<Evictable>, std::string>> open;
    asio::ssl::context ssl;
    asio::io_context io;
    tcp::acceptor acceptor;
    std::vector<std::thread> threads;

    void accept();
    void makeRoom();
};

namespace {

class Connection : public Evictable, public std::enable_shared_from_this<Connection> {
public:
    Connection(tcp::socket socket, HttpsServer::Impl& server)
        : m_server(server),
          m_stream(std::move(socket), server.ssl),
          m_buffer(server.limits.headerBytes) {
        beast::error_code ignored;
        const auto endpoint = beast::get_lowest_layer(m_stream).socket().remote_endpoint(ignored);
        asio::ip::address address = endpoint.address();
        if (address.is_v6() && address.to_v6().is_v4_mapped())
            address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
        m_clientAddress = address.to_string();
        ++m_server.connections;
        std::lock_guard lock(m_server.addressesMutex);
        m_overLimit =
            ++m_server.connectionsFrom[m_clientAddress] > m_server.limits.maxConnectionsPerAddress;
    }
    ~Connection() {
        // A body that arrived into a file nobody took (the client went away, a refusal) goes.
        m_fileParser.reset();
        if (!m_bodyFile.empty()) FileSystem::platform()->remove(m_bodyFile);
        --m_server.connections;
        std::lock_guard lock(m_server.addressesMutex);
        if (--m_server.connectionsFrom[m_clientAddress] <= 0)
            m_server.connectionsFrom.erase(m_clientAddress);
    }
    bool overLimit() const { return m_overLimit; }
    const std::string& address() const { return m_clientAddress; }

    // From any thread: the socket is closed on the connection's own strand, which ends whatever
    // it waits for.
    void evict() override {
        asio::post(m_stream.get_executor(), [self = shared_from_this()] {
            beast::get_lowest_layer(self->m_stream).close();
        });
    }

    void run() {
        lastHeardFrom = ticksNow();
        beast::get_lowest_layer(m_stream).expires_after(
            std::chrono::seconds(m_server.limits.handshakeSeconds));
        m_stream.async_handshake(asio::ssl::stream_base::server,
                                 [self = shared_from_this()](beast::error_code e) {
                                     // A plain HTTP request ends here: it gets no answer at all.
                                     if (!e) self->read();
                                 });
    }

private:
    void read() {
        m_fileParser.reset();
        m_parser.emplace();
        m_parser->header_limit(static_cast<std::uint32_t>(m_server.limits.headerBytes));
        // The parser weighs a stated length against its limit while it reads the header: the
        // largest any target takes, until the target is known.
        m_parser->body_limit(std::max(m_server.limits.bodyBytes, m_server.limits.uploadBytes));
        beast::get_lowest_layer(m_stream).expires_after(
            std::chrono::seconds(m_server.limits.requestSeconds));
        http::async_read_header(
            m_stream, m_buffer, *m_parser,
            [self = shared_from_this()](beast::error_code e, size_t) { self->onHeader(e); });
    }

    // The body's bound follows the target: an upload may be large and slow, a form never is.
    void onHeader(beast::error_code error) {
        if (error) return onRead(error);
        const HttpsServer::Limits& limits = m_server.limits;
        const auto target = m_parser->get().target();
        const bool upload =
            !limits.uploadPath.empty() && target.substr(0, target.find('?')) == limits.uploadPath;
        const size_t bodyLimit = upload ? limits.uploadBytes : limits.bodyBytes;
        // A length too large is refused here, unread.
        if (const auto length = m_parser->content_length(); length && *length > bodyLimit)
            return onRead(http::error::body_limit);
        if (upload)
            beast::get_lowest_layer(m_stream).expires_after(
                std::chrono::seconds(limits.uploadSeconds));
        HttpsServer::Screening screening;
        if (m_server.screen) screening = m_server.screen(requestOf(m_parser->get()));
        if (screening.answer) {
            m_drainAfterAnswer = true;
            if (screening.dropWholeBody) m_drainLimit = bodyLimit;
            return respond(*screening.answer, false);
        }
        if (!screening.bodyFile.empty()) return readIntoFile(screening.bodyFile, bodyLimit);
        m_parser->body_limit(bodyLimit);
        http::async_read(
            m_stream, m_buffer, *m_parser,
            [self = shared_from_this()](beast::error_code e, size_t) { self->onRead(e); });
    }

    void readIntoFile(const std::string& path, size_t bodyLimit) {
        auto file = FileSystem::platform()->createNew(path);
        if (!file.isOk())
            return refuse(http::status::insufficient_storage,
                          "请求的内容不能存下：" + file.status().message());
        m_bodyFile = path;
        m_fileParser.emplace(std::move(*m_parser));
        m_parser.reset();
        m_fileParser->get().body().file = std::move(file).value();
        m_fileParser->body_limit(bodyLimit);
        http::async_read(
            m_stream, m_buffer, *m_fileParser,
            [self = shared_from_this()](beast::error_code e, size_t) { self->onRead(e); });
    }

    void onRead(beast::error_code e) {
        if (e && m_fileParser) {
            // A body that will not be used is gone before the answer: a full disk is said, and
            // nothing half-written stays.
            const std::string problem = m_fileParser->get().body().problem;
            m_fileParser.reset();
            FileSystem::platform()->remove(std::exchange(m_bodyFile, {}));
            if (!problem.empty())
                return refuse(http::status::insufficient_storage, "请求的内容不能存下：" + problem);
        }
        if (e == http::error::end_of_stream || e == asio::error::operation_aborted ||
            e == beast::error::timeout) {
            return close();
        }
        if (e == http::error::body_limit)
            return refuse(http::status::payload_too_large, "请求太大");
        if (e == http::error::header_limit || e == http::error::buffer_overflow)
            return refuse(http::status::request_header_fields_too_large, "请求头太大");
        if (e) return refuse(http::status::bad_request, "请求无法识别");
        if (m_fileParser) return answerFromFile();
        auto request = m_parser->release();
        HttpRequest r = requestOf(request);
        r.body = std::move(request.body());
        respond(m_server.handler(r), request.keep_alive());
    }

    void answerFromFile() {
        auto request = m_fileParser->release();
        m_fileParser.reset();
        // Whole on the disk, and closed, before anyone renames or plays it.
        std::unique_ptr<RandomAccessFile> file = std::move(request.body().file);
        const Status synced = file->sync();
        file.reset();
        if (!synced.isOk())
            return refuse(http::status::insufficient_storage,
                          "请求的内容不能存下：" + synced.message());
        HttpRequest r = requestOf(request);
        r.bodyFile = m_bodyFile;
        const HttpResponse answer = m_server.handler(r);
        FileSystem::platform()->remove(std::exchange(m_bodyFile, {}));
        respond(answer, request.keep_alive());
    }

    HttpRequest requestOf(const http::request_header<>& header) const {
        HttpRequest r;
        r.method = std::string(header.method_string());
        r.target = std::string(header.target());
        r.host = std::string(header[http::field::host]);
        r.cookie = std::string(header[http::field::cookie]);
        r.contentType = std::string(header[http::field::content_type]);
        r.acceptLanguage = std::string(header[http::field::accept_language]);
        r.origin = std::string(header["Origin"]);
        r.secFetchSite = std::string(header["Sec-Fetch-Site"]);
        r.clientAddress = m_clientAddress;
        return r;
    }

    void respond(const HttpResponse& answer, bool keepAlive) {
        waitingForClient = false;
        lastHeardFrom = ticksNow();
        send(static_cast<http::status>(answer.status), answer, keepAlive);
    }

    void refuse(http::status status, const std::string& text) {
        HttpResponse answer;
        answer.contentType = "text/plain; charset=utf-8";
        answer.body = text;
        m_drainAfterAnswer = true;
        send(status, answer, false);
    }

    // A client still sending what was refused would have its connection reset by a close, and
    // lose the answer: what it sends is read and dropped for a moment, up to a bound, first.
    void drain() {
        beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(kDrainSeconds));
        m_stream.async_read_some(asio::buffer(m_scratch),
                                 [self = shared_from_this()](beast::error_code e, size_t n) {
                                     self->m_drained += n;
                                     if (e || self->m_drained > self->m_drainLimit)
                                         return self->close();
                                     self->drain();
                                 });
    }

    void send(http::status status, const HttpResponse& answer, bool keepAlive) {
        auto response = std::make_shared<http::response<http::string_body>>(status, 11);
        response->set(http::field::content_type, answer.contentType);
        for (const auto& [name, value] : webSecurityHeaders()) response->set(name, value);
        for (const auto& [name, value] : answer.headers) response->insert(name, value);
        response->body() = answer.body;
        response->keep_alive(keepAlive);
        response->prepare_payload();
        http::async_write(
            m_stream, *response,
            [self = shared_from_this(), response, keepAlive](beast::error_code e, size_t) {
                if (!e && self->m_drainAfterAnswer) return self->drain();
                if (e || !keepAlive) return self->close();
                self->waitingForClient = true;
                self->read();
            });
    }

    void close() {
        beast::get_lowest_layer(m_stream).expires_after(std::chrono::seconds(2));
        m_stream.async_shutdown([self = shared_from_this()](beast::error_code) {
            beast::error_code ignored;
            beast::get_lowest_layer(self->m_stream).socket().close(ignored);
        });
    }

    HttpsServer::Impl& m_server;
    beast::ssl_stream<beast::tcp_stream> m_stream;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::optional<http::request_parser<FileSinkBody>> m_fileParser;
    std::string m_bodyFile;  // the file a body is being written to, until the handler had it
    std::string m_clientAddress;
    bool m_overLimit = false;
    static constexpr int kDrainSeconds = 2;
    static constexpr size_t kDrainBytes = 1024 * 1024;
    size_t m_drainLimit = kDrainBytes;
    bool m_drainAfterAnswer = false;
    size_t m_drained = 0;
    std::array<char, 16 * 1024> m_scratch{};
};

}  // namespace

void HttpsServer::Impl::accept() {
    acceptor.async_accept(asio::make_strand(io), [this](beast::error_code e, tcp::socket socket) {
        if (e == asio::error::operation_aborted) return;
        if (!e) {
            // When every slot is taken, the newcomer still gets one: the office must reach its
            // page while others hold connections open doing nothing.
            if (connections.load() >= limits.maxConnections) makeRoom();
            auto connection = std::make_shared<Connection>(std::move(socket), *this);
            if (!connection->overLimit()) {
                {
                    std::lock_guard lock(addressesMutex);
                    open.emplace_back(connection, connection->address());
                }
                connection->run();
            }
        }
        accept();
    });
}

// Closes the connection that waits longest for its client, of the address holding the most
// connections: an office with one or two is the last to lose one.
void HttpsServer::Impl::makeRoom() {
    // Declared before the lock, so released after it: a connection that ends meanwhile on
    // another thread may leave its last owner here, and its destructor takes the lock itself.
    std::vector<std::shared_ptr<Evictable>> held;
    std::shared_ptr<Evictable> chosen;
    std::unique_lock lock(addressesMutex);
    std::erase_if(open, [](const auto& entry) { return entry.first.expired(); });
    int chosenCount = 0;
    for (const auto& [weak, address] : open) {
        std::shared_ptr<Evictable> candidate = weak.lock();
        if (!candidate) continue;
        held.push_back(candidate);
        if (!candidate->waitingForClient) continue;
        const int count = connectionsFrom[address];
        if (!chosen || count > chosenCount ||
            (count == chosenCount && candidate->lastHeardFrom < chosen->lastHeardFrom)) {
            chosen = candidate;
            chosenCount = count;
        }
    }
    lock.unlock();
    if (chosen) chosen->evict();
}

namespace {

Status listen(tcp::acceptor& acceptor, uint16_t port) {
    beast::error_code e;
    // Both families on one socket where the system allows it; IPv4 alone where it has no IPv6.
    for (const tcp protocol : {tcp::v6(), tcp::v4()}) {
        acceptor.close(e);
        acceptor.open(protocol, e);
        if (e) continue;
        if (protocol == tcp::v6()) acceptor.set_option(asio::ip::v6_only(false), e);
        acceptor.set_option(asio::socket_base::reuse_address(true), e);
        acceptor.bind(tcp::endpoint(protocol, port), e);
        if (e == asio::error::address_in_use)
            return Status::ioError("端口 " + std::to_string(port) + " 已被别的程序占用");
        if (e) continue;
        acceptor.listen(asio::socket_base::max_listen_connections, e);
        if (!e) return Status::ok();
    }
    const std::string why = e.category() == asio::error::get_system_category()
                                ? systemErrorText(e.value(), e.message())
                                : e.message();
    return Status::ioError("不能在端口 " + std::to_string(port) + " 上等待连接：" + why);
}

}  // namespace

Result<std::unique_ptr<HttpsServer>> HttpsServer::start(uint16_t port,
                                                        const std::string& certificatePath,
                                                        const std::string& keyPath, Handler handler,
                                                        Limits limits, Screen screen) {
    auto impl = std::make_unique<Impl>(std::move(handler), limits);
    impl->screen = std::move(screen);
    beast::error_code e;
    impl->ssl.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                          asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                          asio::ssl::context::no_tlsv1_1 | asio::ssl::context::single_dh_use);
    impl->ssl.use_certificate_chain_file(certificatePath, e);
    if (e) return Status::ioError("证书不能读取：" + certificatePath);
    impl->ssl.use_private_key_file(keyPath, asio::ssl::context::pem, e);
    if (e) return Status::ioError("证书的密钥不能读取或与证书不符：" + keyPath);
    if (Status s = listen(impl->acceptor, port); !s.isOk()) return s;
    impl->accept();
    for (int i = 0; i < std::max(1, limits.threads); ++i)
        impl->threads.emplace_back([io = &impl->io] {
            // Password hashes (64 MiB of Argon2id each) run on these threads: below the ringer.
            lowerThisThreadsPriority();
            io->run();
        });
    return std::unique_ptr<HttpsServer>(new HttpsServer(std::move(impl)));
}

HttpsServer::HttpsServer(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

HttpsServer::~HttpsServer() {
    m_impl->io.stop();
    for (std::thread& t : m_impl->threads) t.join();
}

uint16_t HttpsServer::port() const {
    beast::error_code ignored;
    return m_impl->acceptor.local_endpoint(ignored).port();
}

}  // namespace tolvane
