// Starting with Windows: the string value "Tolvane" under HKEY_LOCAL_MACHINE\<key>, written and
// read through the ANSI registry functions, every key handle closed before returning.

#include <windows.h>

#include "platform/Autostart.h"
#include "platform/TextCodec.h"

namespace tolvane {

namespace {
constexpr char kValueName[] = "Tolvane";

std::string ansi(const std::string& utf8) {
    auto gbk = utf8ToGbk(utf8);
    return gbk.isOk() ? gbk.value() : std::string();
}
}  // namespace

std::string userAutostartFolder() {
    return kSystemAutostartFolder;
}

bool autostartExists(const std::string& key) {
    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ansi(key).c_str(), 0, KEY_READ, &run) != ERROR_SUCCESS)
        return false;
    const bool found =
        RegQueryValueExA(run, kValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(run);
    return found;
}

bool writeAutostart(const std::string& key, const std::string& programPath) {
    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ansi(key).c_str(), 0, KEY_WRITE, &run) != ERROR_SUCCESS &&
        RegCreateKeyA(HKEY_LOCAL_MACHINE, ansi(key).c_str(), &run) != ERROR_SUCCESS)
        return false;
    const std::string path = ansi(programPath);
    const bool set =
        RegSetValueExA(run, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(run);
    return set;
}

bool deleteAutostart(const std::string& key) {
    HKEY run = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ansi(key).c_str(), 0, KEY_WRITE, &run) != ERROR_SUCCESS)
        return false;
    bool deleted = RegDeleteValueA(run, kValueName) == ERROR_SUCCESS;
    if (!deleted) deleted = RegDeleteKeyA(run, kValueName) == ERROR_SUCCESS;
    RegCloseKey(run);
    return deleted;
}

std::string desktopExecArgument(const std::string& path) {
    return path;
}

}  // namespace tolvane
