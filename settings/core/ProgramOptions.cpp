// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/core/ProgramOptions.h"

#include <charconv>

#include "base/PathText.h"

// Bytes in, bytes out: the file is UTF-8 as written, and values are checked here. Debian's
// header keeps the template's bodies behind SI_IMPLEMENTATION (its shared library is built with
// ICU); each file that uses it instantiates them, so no library is linked and a cross build
// needs none.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace tolvane {

namespace {

constexpr char kSection[] = "tolvane";
constexpr char kClockOffset[] = "clock_offset";
constexpr char kOutput[] = "output";
constexpr char kVolume[] = "volume";
constexpr char kWebPort[] = "web_port";
constexpr char kWebCertificate[] = "web_certificate";
constexpr char kWebKey[] = "web_key";
constexpr char kMetricsDir[] = "metrics_dir";
constexpr int kLockWaitMs = 5000;
// Longer than any sink name a sound server makes.
constexpr size_t kMaxOutputBytes = 255;
constexpr size_t kMaxPathBytes = 4096;

bool parseWhole(std::string_view text, int* value) {
    if (text.size() > 1 && text[0] == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool isPlainText(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

std::string optionsPath(const std::string& folder) {
    return joinPath(folder, kOptionsFile);
}

}  // namespace

const std::vector<std::string>& programOptionNames() {
    static const std::vector<std::string> names{kClockOffset,    kOutput, kVolume,    kWebPort,
                                                kWebCertificate, kWebKey, kMetricsDir};
    return names;
}

std::string programOptionText(const ProgramOptions& options, const std::string& name) {
    if (name == kClockOffset) return std::to_string(options.clockOffsetSeconds);
    if (name == kOutput) return options.output;
    if (name == kVolume) return std::to_string(options.volumePercent);
    if (name == kWebPort) return std::to_string(options.webPort);
    if (name == kWebCertificate) return options.webCertificate;
    if (name == kWebKey) return options.webKey;
    if (name == kMetricsDir) return options.metricsDir;
    return {};
}

Status setProgramOption(ProgramOptions* options, const std::string& name,
                        const std::string& value) {
    int number = 0;
    if (name == kClockOffset) {
        if (!parseWhole(value, &number) || number < -kMaxClockOffsetSeconds ||
            number > kMaxClockOffsetSeconds)
            return Status::invalidArgument(
                "clock_offset is whole seconds from -300 to 300, not \"" + value + "\"");
        options->clockOffsetSeconds = number;
    } else if (name == kOutput) {
        if (value.size() > kMaxOutputBytes || !isPlainText(value))
            return Status::invalidArgument(
                "output is a sound output's name (up to 255 bytes, no control characters), or "
                "empty for the default");
        options->output = value;
    } else if (name == kVolume) {
        if (!parseWhole(value, &number) || number < 0 || number > 100)
            return Status::invalidArgument("volume is a percentage from 0 to 100, not \"" + value +
                                           "\"");
        options->volumePercent = number;
    } else if (name == kWebPort) {
        if (!parseWhole(value, &number) || number < 0 || number > 65535)
            return Status::invalidArgument(
                "web_port is a TCP port from 1 to 65535, or 0 for no "
                "web page, not \"" +
                value + "\"");
        options->webPort = number;
    } else if (name == kWebCertificate || name == kWebKey) {
        if (value.size() > kMaxPathBytes || !isPlainText(value))
            return Status::invalidArgument(name +
                                           " is a PEM file's path, or empty for the "
                                           "certificate made for this computer");
        (name == kWebCertificate ? options->webCertificate : options->webKey) = value;
    } else if (name == kMetricsDir) {
        if (value.size() > kMaxPathBytes || !isPlainText(value))
            return Status::invalidArgument(
                "metrics_dir is the folder node_exporter's or windows_exporter's textfile "
                "collector reads, or empty for no metrics");
        options->metricsDir = value;
    } else {
        std::string known;
        for (const auto& n : programOptionNames()) known += (known.empty() ? "" : ", ") + n;
        return Status::invalidArgument("no option \"" + name + "\" (there are " + known + ")");
    }
    return Status::ok();
}

Result<ProgramOptions> readProgramOptions(FileSystem& fs, const std::string& folder) {
    const std::string path = optionsPath(folder);
    ProgramOptions options;
    auto text = readWholeFile(fs, path);
    if (!text.isOk())
        return text.status().code() == Status::Code::kNotFound ? Result<ProgramOptions>(options)
                                                               : text.status().about(path);
    CSimpleIniA ini;
    if (ini.LoadData(text.value()) < 0) return Status::corruption(path + ": not an INI file");
    for (const auto& name : programOptionNames())
        if (const char* value = ini.GetValue(kSection, name.c_str()))
            if (Status s = setProgramOption(&options, name, value); !s.isOk()) return s.about(path);
    return options;
}

Status writeProgramOption(FileSystem& fs, const std::string& folder, const std::string& name,
                          const std::string& value) {
    ProgramOptions checked;
    if (Status s = setProgramOption(&checked, name, value); !s.isOk()) return s;
    const std::string path = optionsPath(folder);
    auto lock = fs.lock(path + ".lock", kLockWaitMs);
    if (!lock.isOk()) return lock.status().about(path);
    if (!lock.value()) return Status::ioError(path + ": another program is writing it; try again");

    CSimpleIniA ini;
    auto text = readWholeFile(fs, path);
    const bool existed = text.isOk();
    if (!existed && text.status().code() != Status::Code::kNotFound)
        return text.status().about(path);
    if (existed && ini.LoadData(text.value()) < 0)
        return Status::corruption(path + ": not an INI file");
    ini.SetValue(kSection, name.c_str(), programOptionText(checked, name).c_str());
    std::string bytes;
    if (ini.Save(bytes) < 0) return Status::ioError(path + ": could not be written out");

    const std::string scratch = path + ".tmp";
    Status s = writeWholeFile(fs, scratch, bytes, true);
    if (s.isOk() && existed) s = fs.copyOwnerAndMode(path, scratch);
    if (s.isOk()) s = fs.replace(scratch, path);
    if (!s.isOk()) fs.remove(scratch);
    return s.about(path);
}

}  // namespace tolvane
