// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/HttpParts.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <charconv>

#include "base/PathText.h"

namespace tolvane {

namespace {

// The weight of one Accept-Language item ("en-GB;q=0.8", "en;level=1;q=0.1"): its q wherever it
// stands among the parameters, 1 without one, 0 for a malformed one (RFC 9110: a q of 0 means
// "not acceptable").
double languageWeight(const std::string& item) {
    for (size_t at = item.find(';'); at != std::string::npos; at = item.find(';', at + 1)) {
        std::string parameter = item.substr(at + 1, item.find(';', at + 1) - at - 1);
        parameter.erase(0, parameter.find_first_not_of(' '));
        parameter.erase(parameter.find_last_not_of(' ') + 1);
        if (parameter.rfind("q=", 0) != 0) continue;
        const std::string value = parameter.substr(2);
        if (value.empty() || value.size() > 5 ||
            value.find_first_not_of("0123456789.") != std::string::npos)
            return 0.0;
        double q = 0.0;  // from_chars: the program's locale may write decimals with a comma
        const auto read = std::from_chars(value.data(), value.data() + value.size(), q);
        return read.ec == std::errc() && q >= 0.0 && q <= 1.0 ? q : 0.0;
    }
    return 1.0;
}

}  // namespace

std::string cookieValue(const std::string& header, const std::string& name) {
    size_t at = 0;
    while (at < header.size()) {
        size_t end = header.find(';', at);
        if (end == std::string::npos) end = header.size();
        std::string pair = header.substr(at, end - at);
        pair.erase(0, pair.find_first_not_of(' '));
        if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 &&
            pair[name.size()] == '=')
            return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

std::string cookie(const std::string& name, const std::string& value, bool ending) {
    return name + "=" + value + "; Path=/; HttpOnly; Secure; SameSite=Strict" +
           (ending ? "; Max-Age=0" : "");
}

FormFields fieldsOf(const std::string& encoded) {
    // Decoded to bytes, as sent: bytes that are not UTF-8 (or a control character) reach the
    // checks that refuse them, rather than becoming U+FFFD on the way.
    std::map<std::string, std::string> fields;
    for (QByteArray pair : QByteArray::fromStdString(encoded).split('&')) {
        if (pair.isEmpty()) continue;
        pair.replace('+', ' ');
        const qsizetype equals = pair.indexOf('=');
        const QByteArray name = equals < 0 ? pair : pair.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : pair.mid(equals + 1);
        fields.emplace(QByteArray::fromPercentEncoding(name).toStdString(),
                       QByteArray::fromPercentEncoding(value).toStdString());
    }
    return fields;
}

std::string field(const FormFields& fields, const std::string& name) {
    auto it = fields.find(name);
    return it == fields.end() ? std::string() : it->second;
}

std::string urlEncoded(const std::string& text) {
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

HttpResponse plain(int status, const std::string& text) {
    HttpResponse r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.body = text;
    return r;
}

HttpResponse redirect(const std::string& path) {
    HttpResponse r;
    r.status = 303;
    r.headers.emplace_back("Location", path);
    return r;
}

bool browserPrefersEnglish(const std::string& acceptLanguage) {
    // The heaviest of the two languages the page has wins; on a tie, the one named first.
    struct Best {
        double weight = 0.0;
        size_t place = 0;
    } english, chinese;
    size_t at = 0;
    for (size_t place = 0; at < acceptLanguage.size(); ++place) {
        size_t end = acceptLanguage.find(',', at);
        if (end == std::string::npos) end = acceptLanguage.size();
        std::string item = asciiLowered(acceptLanguage.substr(at, end - at));
        item.erase(0, item.find_first_not_of(' '));
        const std::string tag = item.substr(0, item.find_first_of(" ;"));
        Best* language = tag == "en" || tag.rfind("en-", 0) == 0   ? &english
                         : tag == "zh" || tag.rfind("zh-", 0) == 0 ? &chinese
                                                                   : nullptr;
        if (const double weight = languageWeight(item); language && weight > language->weight)
            *language = {weight, place};
        at = end + 1;
    }
    if (english.weight == 0.0) return false;
    return english.weight > chinese.weight ||
           (english.weight == chinese.weight && english.place < chinese.place);
}

bool hostIsOneOf(const std::string& host, const std::vector<std::string>& names) {
    std::string name = asciiLowered(host);
    if (!name.empty() && name[0] == '[') {
        const size_t close = name.find(']');
        if (close == std::string::npos) return false;
        const std::string rest = name.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') return false;
        name = name.substr(1, close - 1);
    } else if (const size_t colon = name.find(':'); colon != std::string::npos) {
        if (name.find(':', colon + 1) != std::string::npos) return false;  // IPv6 needs brackets
        name.resize(colon);
    }
    if (name.empty()) return false;
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return asciiLowered(n) == name; });
}

bool changeFromThisPage(const HttpRequest& request, const std::vector<std::string>& names) {
    const std::string site = asciiLowered(request.secFetchSite);
    if (!site.empty() && site != "same-origin" && site != "none") return false;
    // A page sent with Referrer-Policy no-referrer (ours) makes the browser say "null" for its
    // own forms' origin: Sec-Fetch-Site, where sent, has told already.
    if (request.origin.empty() || (request.origin == "null" && !site.empty())) return true;
    constexpr std::string_view kScheme = "https://";
    const std::string origin = asciiLowered(request.origin);
    return origin.rfind(kScheme, 0) == 0 && hostIsOneOf(origin.substr(kScheme.size()), names);
}

}  // namespace tolvane
