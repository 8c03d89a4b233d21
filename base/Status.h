// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace tolvane {

// The outcome of a core operation. The core never throws: every operation that can fail
// returns a Status (or a Result<T>) whose message names what went wrong, for a person to read.
class Status {
public:
    enum class Code {
        kOk,
        kNotFound,
        kCorruption,
        kIoError,
        kInvalidArgument,
        kNotSupported,
        kAlreadyOpen,
        // The file or folder may not be read or written by this user, or is on a read-only
        // medium: nothing is wrong with its content.
        kPermissionDenied,
        // A field read with another type than its schema: the program treats it as fatal.
        kTypeMismatch,
    };

    Status() = default;

    static Status ok() { return Status(); }
    static Status notFound(std::string msg) { return Status(Code::kNotFound, std::move(msg)); }
    static Status corruption(std::string msg) { return Status(Code::kCorruption, std::move(msg)); }
    static Status ioError(std::string msg) { return Status(Code::kIoError, std::move(msg)); }
    static Status invalidArgument(std::string msg) {
        return Status(Code::kInvalidArgument, std::move(msg));
    }
    static Status notSupported(std::string msg) {
        return Status(Code::kNotSupported, std::move(msg));
    }
    static Status permissionDenied(std::string msg) {
        return Status(Code::kPermissionDenied, std::move(msg));
    }
    static Status alreadyOpen(std::string msg) {
        return Status(Code::kAlreadyOpen, std::move(msg));
    }
    // The run-time error of a typed read: error code 5, "数据或数组类型不匹配".
    static Status typeMismatch();

    bool isOk() const { return m_code == Code::kOk; }
    Code code() const { return m_code; }
    const std::string& message() const { return m_message ? *m_message : emptyMessage(); }

    // The numbered run-time error code shown in the fatal error box; 0 when there is none.
    int runtimeErrorCode() const {
        return m_code == Code::kTypeMismatch ? kTypeMismatchErrorCode : 0;
    }

    // The same failure, its kind kept, with what it concerns before the message ("db.edb: ...");
    // success stays success.
    Status about(const std::string& subject) const {
        return isOk() ? *this : Status(m_code, subject + ": " + message());
    }

    // "Corruption: header magic is not WEDB" and the like; "OK" for success.
    std::string toString() const;

    static constexpr int kTypeMismatchErrorCode = 5;

private:
    Status(Code code, std::string msg)
        : m_code(code), m_message(std::make_shared<const std::string>(std::move(msg))) {}
    static const std::string& emptyMessage();

    Code m_code = Code::kOk;
    // Shared and absent when OK, so that success costs no allocation: reads in the once-a-second
    // walk of the schedule return a Status each.
    std::shared_ptr<const std::string> m_message;
};

// A value or the Status that explains why there is none.
template <typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}          // NOLINT: implicit by design
    Result(Status status) : m_status(std::move(status)) {}  // NOLINT: implicit by design

    bool isOk() const { return m_status.isOk(); }
    const Status& status() const { return m_status; }
    // REQUIRES: isOk().
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }

private:
    Status m_status;
    std::optional<T> m_value;
};

}  // namespace tolvane
