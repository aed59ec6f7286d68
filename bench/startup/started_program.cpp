#include "started_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "report.h"

namespace startup {

namespace {

std::ifstream ProcFile(qint64 pid, const char* name) {
    return std::ifstream("/proc/" + std::to_string(pid) + "/" + name);
}

}  // namespace

std::vector<std::string> EglVendorLibraries(const std::vector<std::string>& folders) {
    std::vector<std::string> libraries;
    for (const std::string& folder : folders) {
        const QDir vendors(QString::fromStdString(folder), QStringLiteral("*.json"), QDir::Name, QDir::Files);
        for (const QFileInfo& vendor : vendors.entryInfoList()) {
            QFile description(vendor.filePath());
            if (!description.open(QIODevice::ReadOnly)) continue;
            const QString library = QJsonDocument::fromJson(description.readAll())["ICD"]["library_path"].toString();
            if (!library.isEmpty()) libraries.push_back(QFileInfo(library).fileName().toStdString());
        }
    }
    return libraries;
}

bool NamesGraphicsDriver(const std::string& mapsLine, const std::vector<std::string>& driverLibraries) {
    const std::size_t slash = mapsLine.rfind('/');
    if (slash == std::string::npos) return false;
    const std::string_view file = std::string_view(mapsLine).substr(slash + 1);
    // glvnd loads a GLX vendor by its name in the form libGLX_<vendor>.so.0.
    if (file.starts_with("libGLX_")) return true;
    return std::any_of(driverLibraries.begin(), driverLibraries.end(),
                       [file](const std::string& library) { return file.starts_with(library); });
}

StartedProgram::StartedProgram(const ProgramToStart& program, bool readErrors) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const std::string& assignment : program.environment) {
        const std::size_t equals = assignment.find('=');
        environment.insert(QString::fromStdString(assignment.substr(0, equals)),
                           QString::fromStdString(assignment.substr(equals + 1)));
    }
    process_.setProcessEnvironment(environment);
    process_.setStandardOutputFile(QProcess::nullDevice());
    if (readErrors)
        process_.setReadChannel(QProcess::StandardError);
    else
        process_.setStandardErrorFile(QProcess::nullDevice());
    startedAt_ = taborvane::bench::Now();
    process_.start(QString::fromStdString(program.path), {});
    process_.waitForStarted();
}

StartedProgram::~StartedProgram() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished();
}

int StartedProgram::msLeftOf(int timeoutMs) const {
    const long long elapsedMs = (taborvane::bench::Now() - startedAt_) / 1'000'000;
    return static_cast<int>(std::max(0LL, timeoutMs - elapsedMs));
}

long long StartedProgram::peakResidentKib() const {
    std::ifstream status = ProcFile(pid(), "status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6);
    return -1;
}

bool StartedProgram::graphicsDriverMapped() const {
    static const std::vector<std::string> drivers =
        EglVendorLibraries({"/etc/glvnd/egl_vendor.d", "/usr/share/glvnd/egl_vendor.d"});
    std::ifstream maps = ProcFile(pid(), "maps");
    for (std::string line; std::getline(maps, line);)
        if (NamesGraphicsDriver(line, drivers)) return true;
    return false;
}

}  // namespace startup
