#include "ringer/RingerWeb.h"

#include "ringer/Ringer.h"

namespace tolvane {

struct RingerWeb::Served {};

RingerWeb::RingerWeb(Ringer& ringer) : m_ringer(ringer) {}

RingerWeb::~RingerWeb() = default;

// The Windows build carries no HTTPS server; a folder shared with a Linux ringer may ask for one.
bool RingerWeb::follow(const ProgramOptions& options, bool passwordSet) {
    (void)passwordSet;
    if (m_followed && options.webPort == m_for.webPort) return false;
    m_followed = true;
    m_for = options;
    const std::string before = m_problem;
    m_problem = options.webPort == 0 ? std::string()
                                     : std::string("网页没有开启：Windows 版本不提供网页");
    if (!m_problem.empty() && m_problem != before) m_ringer.log().warn(m_problem);
    return m_problem != before;
}

}  // namespace tolvane
