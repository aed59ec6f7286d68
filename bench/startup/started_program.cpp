#include "started_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "report.h"

extern char** environ;

namespace startup {

namespace {

std::string ProcFile(pid_t pid, const char* name) { return "/proc/" + std::to_string(pid) + "/" + name; }

std::string VariableName(const std::string& assignment) { return assignment.substr(0, assignment.find('=')); }

}  // namespace

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& own,
                                         const std::vector<std::string>& overrides) {
    std::vector<std::string> result;
    for (const std::string& entry : own) {
        const bool overridden = std::any_of(overrides.begin(), overrides.end(), [&entry](const std::string& o) {
            return VariableName(o) == VariableName(entry);
        });
        if (!overridden) result.push_back(entry);
    }
    result.insert(result.end(), overrides.begin(), overrides.end());
    return result;
}

bool NamesGraphicsDriver(const std::string& mapsLine) {
    return mapsLine.find("_dri.so") != std::string::npos || mapsLine.find("libEGL_mesa") != std::string::npos;
}

StartedProgram::StartedProgram(const ProgramToStart& program) {
    std::vector<std::string> own;
    for (char** entry = environ; *entry != nullptr; ++entry) own.emplace_back(*entry);
    std::vector<std::string> environment = EnvironmentWith(own, program.environment);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string path = program.path;
    char* argv[] = {path.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    startedAt_ = taborvane::bench::Now();
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
}

StartedProgram::~StartedProgram() {
    if (!started()) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

long long StartedProgram::peakResidentKib() const {
    std::ifstream status(ProcFile(pid_, "status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6);
    return -1;
}

bool StartedProgram::graphicsDriverMapped() const {
    std::ifstream maps(ProcFile(pid_, "maps"));
    for (std::string line; std::getline(maps, line);)
        if (NamesGraphicsDriver(line)) return true;
    return false;
}

}  // namespace startup
