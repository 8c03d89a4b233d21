// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Status.h"

namespace tolvane {

Status Status::typeMismatch() {
    return Status(Code::kTypeMismatch, "数据或数组类型不匹配");
}

const std::string& Status::emptyMessage() {
    static const std::string empty;
    return empty;
}

std::string Status::toString() const {
    const char* prefix = "OK";
    switch (m_code) {
        case Code::kOk:
            return prefix;
        case Code::kNotFound:
            prefix = "Not found";
            break;
        case Code::kCorruption:
            prefix = "Corruption";
            break;
        case Code::kIoError:
            prefix = "I/O error";
            break;
        case Code::kInvalidArgument:
            prefix = "Invalid argument";
            break;
        case Code::kNotSupported:
            prefix = "Not supported";
            break;
        case Code::kAlreadyOpen:
            prefix = "Already open";
            break;
        case Code::kPermissionDenied:
            prefix = "Permission denied";
            break;
        case Code::kTypeMismatch:
            prefix = "Type mismatch";
            break;
    }
    return std::string(prefix) + ": " + message();
}

}  // namespace tolvane
