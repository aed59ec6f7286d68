#include "started_program.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "report.h"

namespace startup {

namespace {

std::ifstream ProcFile(qint64 pid, const char* name) {
    return std::ifstream("/proc/" + std::to_string(pid) + "/" + name);
}

}  // namespace

bool NamesGraphicsDriver(const std::string& mapsLine) {
    return mapsLine.find("_dri.so") != std::string::npos || mapsLine.find("libEGL_mesa") != std::string::npos;
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
    std::ifstream maps = ProcFile(pid(), "maps");
    for (std::string line; std::getline(maps, line);)
        if (NamesGraphicsDriver(line)) return true;
    return false;
}

}  // namespace startup
