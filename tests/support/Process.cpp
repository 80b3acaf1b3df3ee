// Whole-program runs for tests. See Process.h.
#include "tests/support/Process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/TestMp3.h"

namespace testsupport {
namespace {

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

std::string readFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

Program::Program(const std::string& line, const std::vector<std::string>& env, const std::string& cwd)
    : dir(makeTempDir()),
      startWall(wallSeconds()) {
    // The shell's exec keeps the program at the child's pid, for signals and /proc.
    std::string command = "cd " + cwd;
    for (const std::string& e : env)
        command += (e.find('=') == std::string::npos ? " && unset " : " && export ") + e;
    std::string program = line[0] == '/' ? line : DEMO_BINARY_DIR "/" + line;
    command += " && exec " + program + " >" + dir + "/out 2>" + dir + "/err";
    pid = fork();
    if (pid != 0) return;
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

int Program::threads() const {
    std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    size_t at = status.find("Threads:");
    return at == std::string::npos ? 0 : std::stoi(status.substr(at + 8));
}

std::string Program::err() const {
    return readFile(dir + "/err");
}

void Program::sendSignal(int sig) {
    startWall = wallSeconds();
    kill(pid, sig);
}

Finished Program::wait(double timeoutSeconds) {
    int status = 0;
    if (pid <= 0) return {};
    double left = timeoutSeconds - (wallSeconds() - startWall);
    if (!waitFor([&] { return waitpid(pid, &status, WNOHANG) != 0; }, left)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    pid = -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir + "/out"), err()};
}

bool waitFor(const std::function<bool()>& ready, double timeoutSeconds) {
    for (double deadline = wallSeconds() + timeoutSeconds; !ready();) {
        if (wallSeconds() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace testsupport
