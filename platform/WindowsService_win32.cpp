// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "base/PathText.h"
#include "platform/WindowsService.h"

namespace tolvane {

namespace {

constexpr wchar_t kDisplayName[] = L"Tolvane 打铃";
constexpr wchar_t kDescription[] =
    L"按铃声计划打铃，开机即打，无人登录也打。桌面程序打开时显示它的状态。";
// How long the manager is told a start or stop may take before it gives up on the service.
constexpr DWORD kStartHintMs = 30'000;
constexpr DWORD kStopHintMs = 15'000;

Status failed(const char* what) {
    const DWORD error = GetLastError();
    std::string text = std::string(what) + ": system error " + std::to_string(error);
    if (error == ERROR_ACCESS_DENIED) {
        text += " (run it as an administrator)";
        return Status::permissionDenied(text);
    }
    return Status::ioError(text);
}

struct Handle {
    SC_HANDLE h = nullptr;
    explicit Handle(SC_HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h) CloseServiceHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

std::wstring quoted(const std::string& utf8) {
    return L"\"" + pathFromUtf8(utf8).wstring() + L"\"";
}

// A failed service is started again after a minute, twice; the count is forgotten after a day.
void restartOnFailure(SC_HANDLE service) {
    SC_ACTION actions[2] = {{SC_ACTION_RESTART, 60'000}, {SC_ACTION_RESTART, 60'000}};
    SERVICE_FAILURE_ACTIONSW failure{};
    failure.dwResetPeriod = 24 * 3600;
    failure.cActions = 2;
    failure.lpsaActions = actions;
    ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure);
}

bool waitUntilStopped(SC_HANDLE service) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    SERVICE_STATUS status{};
    while (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(200);
    }
    return true;
}

// The one service of this process. The manager calls back on threads of its own: the dispatcher
// thread runs serviceMain, and the control handler runs on the dispatcher thread too.
struct Session {
    std::mutex mutex;
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status{};
    ServiceSession::StopAsked onStopAsked;
    std::promise<bool> connected;
    HANDLE stoppedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread dispatcher;

    void report(DWORD state, DWORD waitHintMs, DWORD exitCode = NO_ERROR) {
        std::lock_guard lock(mutex);
        if (!handle) return;
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        status.dwControlsAccepted =
            state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
        status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
        status.dwServiceSpecificExitCode = exitCode;
        status.dwWaitHint = waitHintMs;
        ++status.dwCheckPoint;
        if (state == SERVICE_RUNNING || state == SERVICE_STOPPED) status.dwCheckPoint = 0;
        SetServiceStatus(handle, &status);
    }
};

Session* g_session = nullptr;

DWORD WINAPI onControl(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            g_session->report(SERVICE_STOP_PENDING, kStopHintMs);
            g_session->onStopAsked(control == SERVICE_CONTROL_STOP ? "服务管理器要求停止"
                                                                   : "系统关机或重启");
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI serviceMain(DWORD, LPWSTR*) {
    {
        std::lock_guard lock(g_session->mutex);
        g_session->handle = RegisterServiceCtrlHandlerExW(kServiceName, onControl, nullptr);
    }
    g_session->report(SERVICE_START_PENDING, kStartHintMs);
    g_session->connected.set_value(g_session->handle != nullptr);
    // The service lives until the process says it stopped; returning earlier would tell the
    // manager it ended.
    WaitForSingleObject(g_session->stoppedEvent, INFINITE);
}

// Wine's manager may hold its database locked for a moment right after a change; Windows
// answers at once.
Status start(SC_HANDLE service) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!StartServiceW(service, 0, nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_ALREADY_RUNNING) return Status::ok();
        if (error != ERROR_SERVICE_DATABASE_LOCKED || std::chrono::steady_clock::now() > deadline)
            return failed("cannot start the service");
        Sleep(250);
    }
    return Status::ok();
}

}  // namespace

ServiceInstall installService(const std::string& program, const std::string& folder) {
    Handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager.h) return {failed("cannot open the service manager"), Status::ok()};
    const std::wstring command = quoted(program) + L" service run " + quoted(folder);
    Handle service(CreateServiceW(manager.h, kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                  SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                                  nullptr, nullptr));
    if (!service.h && GetLastError() == ERROR_SERVICE_EXISTS) {
        service.h = OpenServiceW(manager.h, kServiceName, SERVICE_ALL_ACCESS);
        if (service.h && !ChangeServiceConfigW(service.h, SERVICE_NO_CHANGE, SERVICE_AUTO_START,
                                               SERVICE_NO_CHANGE, command.c_str(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr, kDisplayName))
            return {failed("cannot change the installed service"), Status::ok()};
    }
    if (!service.h) return {failed("cannot install the service"), Status::ok()};
    SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kDescription)};
    ChangeServiceConfig2W(service.h, SERVICE_CONFIG_DESCRIPTION, &description);
    restartOnFailure(service.h);
    // Started through the handle that made it: Wine's manager does not find a service this
    // process made by its name.
    return {Status::ok(), start(service.h)};
}

Status removeService() {
    Handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.h) return failed("cannot open the service manager");
    Handle service(
        OpenServiceW(manager.h, kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service.h) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return Status::ok();
        return failed("cannot open the service");
    }
    SERVICE_STATUS status{};
    if (ControlService(service.h, SERVICE_CONTROL_STOP, &status) && !waitUntilStopped(service.h))
        return Status::ioError("the service did not stop within 30 s; it was not removed");
    if (!DeleteService(service.h) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
        return failed("cannot remove the service");
    return Status::ok();
}

namespace {

// The installed service opened with access, or NotFound when none is installed.
Result<SC_HANDLE> openInstalled(DWORD access) {
    Handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager.h) return failed("cannot open the service manager");
    SC_HANDLE service = OpenServiceW(manager.h, kServiceName, access);
    if (service) return service;
    if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
        return Status::notFound(
            "the service Tolvane is not installed (tolvanectl service install)");
    return failed("cannot open the service");
}

}  // namespace

Status startService() {
    auto service = openInstalled(SERVICE_START | SERVICE_QUERY_STATUS);
    if (!service.isOk()) return service.status();
    Handle owned(service.value());
    return start(owned.h);
}

Status stopService() {
    auto service = openInstalled(SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!service.isOk()) return service.status();
    Handle owned(service.value());
    SERVICE_STATUS status{};
    if (!ControlService(owned.h, SERVICE_CONTROL_STOP, &status)) {
        if (GetLastError() == ERROR_SERVICE_NOT_ACTIVE) return Status::ok();
        return failed("cannot stop the service");
    }
    if (!waitUntilStopped(owned.h)) return Status::ioError("the service did not stop within 30 s");
    return Status::ok();
}

Result<std::string> serviceState() {
    auto service = openInstalled(SERVICE_QUERY_STATUS);
    if (!service.isOk()) return service.status();
    Handle owned(service.value());
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(owned.h, &status)) return failed("cannot ask the service's state");
    switch (status.dwCurrentState) {
        case SERVICE_RUNNING:
            return std::string("running");
        case SERVICE_START_PENDING:
            return std::string("starting");
        case SERVICE_STOP_PENDING:
            return std::string("stopping");
        default:
            return std::string("stopped");
    }
}

ServiceSession::~ServiceSession() {
    if (!g_session) return;
    SetEvent(g_session->stoppedEvent);
    if (g_session->dispatcher.joinable()) g_session->dispatcher.join();
    CloseHandle(g_session->stoppedEvent);
    delete g_session;
    g_session = nullptr;
}

bool ServiceSession::connect(StopAsked onStopAsked) {
    if (g_session) return false;
    g_session = new Session;
    g_session->onStopAsked = std::move(onStopAsked);
    std::future<bool> connected = g_session->connected.get_future();
    // The dispatcher blocks its thread for the service's whole life; the process's own thread
    // keeps the ringer's event loop.
    g_session->dispatcher = std::thread([] {
        static SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), serviceMain},
                                               {nullptr, nullptr}};
        if (!StartServiceCtrlDispatcherW(table)) g_session->connected.set_value(false);
    });
    return connected.get();
}

void ServiceSession::running() {
    if (g_session) g_session->report(SERVICE_RUNNING, 0);
}

void ServiceSession::stopped(int exitCode) {
    if (!g_session) return;
    g_session->report(SERVICE_STOPPED, 0, static_cast<DWORD>(exitCode));
    SetEvent(g_session->stoppedEvent);
}

}  // namespace tolvane
