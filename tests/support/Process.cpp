// Whole-program runs for tests. See Process.h.
#include "tests/support/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/TestMp3.h"

namespace testsupport {
namespace {

double wallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& cwd)
    : dir(makeTempDir()) {
    startWall = wallSeconds();
    pid = fork();
    if (pid != 0) return;
    // Child: only async-signal-safe work is strictly allowed, but the test
    // process is single-threaded here, so plain calls are fine.
    for (const std::string& e : env) {
        size_t eq = e.find('=');
        if (eq == std::string::npos) unsetenv(e.c_str());
        else setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    int out = open((dir + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open((dir + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(cwd.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

Program::~Program() {
    if (!reaped && pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool Program::waitForThreads(int count, double timeoutSeconds) {
    double deadline = wallSeconds() + timeoutSeconds;
    std::string status = "/proc/" + std::to_string(pid) + "/status";
    while (wallSeconds() < deadline) {
        std::ifstream in(status);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("Threads:", 0) == 0 && std::stoi(line.substr(8)) >= count) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void Program::sendSignal(int sig) {
    startWall = wallSeconds();
    kill(pid, sig);
}

Finished Program::wait(double timeoutSeconds) {
    Finished f;
    int status = 0;
    double deadline = startWall + timeoutSeconds;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (wallSeconds() > deadline) {
            f.timedOut = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reaped = true;
    f.seconds = wallSeconds() - startWall;
    if (WIFEXITED(status)) f.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) f.signal = WTERMSIG(status);
    f.out = slurp(dir + "/out");
    f.err = slurp(dir + "/err");
    return f;
}

Finished runProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    const std::string& cwd, double timeoutSeconds) {
    Program p(argv, env, cwd);
    return p.wait(timeoutSeconds);
}

} // namespace testsupport
