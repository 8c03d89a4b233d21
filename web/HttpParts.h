// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The HTTP plumbing the page's requests need, apart from the pages: cookies, forms and queries,
// the Accept-Language and Host headers, and the plain answers (a text, a redirect).

#include <map>
#include <string>
#include <vector>

#include "web/HttpsServer.h"

namespace tolvane {

// The value of cookie name in a Cookie header; empty when it has none.
std::string cookieValue(const std::string& header, const std::string& name);
// A Set-Cookie value: for this site only, never to scripts, only over HTTPS; ending: removed.
std::string cookie(const std::string& name, const std::string& value, bool ending);

// The fields of a form or a query (application/x-www-form-urlencoded), decoded.
using FormFields = std::map<std::string, std::string>;
FormFields fieldsOf(const std::string& encoded);
// A field's value; empty when there is none.
std::string field(const FormFields& fields, const std::string& name);
// Text for a URL's query.
std::string urlEncoded(const std::string& text);

// Whether the Accept-Language header's heaviest language we have (Chinese or English) is English.
bool browserPrefersEnglish(const std::string& acceptLanguage);
// Whether a Host header names one of names (any letter case, with or without a port; an IPv6
// address in brackets).
bool hostIsOneOf(const std::string& host, const std::vector<std::string>& names);
// Whether a change comes from the page itself by what the browser says of it, beside the form's
// token: Sec-Fetch-Site same-origin (or none, a person's own act) and an Origin of https and one
// of names ("null" with a Sec-Fetch-Site). A client that says neither (a script, an older
// browser) has its token alone.
bool changeFromThisPage(const HttpRequest& request, const std::vector<std::string>& names);

HttpResponse plain(int status, const std::string& text);
HttpResponse redirect(const std::string& path);

}  // namespace tolvane
