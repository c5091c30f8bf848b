#include "tests/port/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
void EnterChild(const std::string& dir, int errorPipe[2]) {
    ::close(errorPipe[0]);
    ::dup2(errorPipe[1], STDERR_FILENO);
    ::close(errorPipe[1]);
    if (::chdir(dir.c_str()) != 0) ::_exit(97);
    ::setenv("CI", "1", 1);
    rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
}

// An exception leaving the body ends in std::terminate, as it would leave
// main(), instead of reaching the test framework's handlers in the child.
void RunBody(const std::function<void()>& body) noexcept {
    body();
}
}  // namespace

ChildProcess ChildProcess::Start(const std::string& dir, const std::function<void()>& inChild) {
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) std::abort();
    ChildProcess child;
    child.pid_ = ::fork();
    if (child.pid_ == 0) {
        EnterChild(dir, errorPipe);
        inChild();
        ::_exit(0);
    }
    ::close(errorPipe[1]);
    child.errorPipe_ = errorPipe[0];
    return child;
}

ChildProcess ChildProcess::Fork(const std::string& dir, const std::function<void()>& body) {
    return Start(dir, [&] { RunBody(body); });
}

ChildProcess ChildProcess::Exec(const std::string& dir, const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return Start(dir, [&] {
        ::execv(args[0], args.data());
        ::_exit(98);
    });
}

void ChildProcess::Signal(int signal) {
    ::kill(pid_, signal);
}

ChildResult ChildProcess::Wait(int timeoutSeconds) {
    ChildResult result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid_, SIGKILL);
            break;
        }
        pollfd fd{errorPipe_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        ssize_t got = ::read(errorPipe_, buffer, sizeof buffer);
        if (got <= 0) break;  // every writer closed: the child has ended
        result.errorText.append(buffer, static_cast<size_t>(got));
    }
    ::close(errorPipe_);
    errorPipe_ = -1;
    rusage usage{};
    ::wait4(pid_, &result.status, 0, &usage);
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

std::string MakeTempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/ddtest-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
