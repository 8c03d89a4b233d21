// SPDX-License-Identifier: GPL-3.0-or-later
// GB18030 conversion through iconv (glibc).

#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace tolvane {

namespace {

// One converter per direction and thread: iconv_open is far too slow to call per field read.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts from the start of in until the end or the first byte sequence it cannot convert;
    // *consumed tells how far it got.
    std::string convert(std::string_view in, size_t* consumed) {
        std::string out;
        *consumed = 0;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) return out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[1024];
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        *consumed = in.size() - srcLeft;
        return out;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::string platformUtf8ToGb18030(std::string_view utf8) {
    thread_local Converter converter("GB18030", "UTF-8");
    size_t consumed = 0;
    return converter.convert(utf8, &consumed);
}

std::string platformGb18030ToUtf8(std::string_view gb, size_t* consumed) {
    thread_local Converter converter("UTF-8", "GB18030");
    return converter.convert(gb, consumed);
}

}  // namespace tolvane
