// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// COM for the Windows back-ends (Core Audio, the speech voices): COM on a thread, and references
// that release themselves.

#include <windows.h>

namespace tolvane {

// COM on the calling thread while it lives; a thread the toolkit already made a single-threaded
// apartment keeps it (Core Audio's objects work there all the same).
class ComUse {
public:
    ComUse() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComUse() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;

private:
    HRESULT m_result;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    T** put() {
        reset();
        return &m_p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const { return m_p != nullptr; }
    // Keeps another reference to p (one the caller does not own).
    void keep(T* p) {
        reset();
        m_p = p;
        if (m_p) m_p->AddRef();
    }
    void reset() {
        if (m_p) m_p->Release();
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

}  // namespace tolvane
