// Test support: runs code or a program in a child process with its own
// working directory and captured stderr, with a time limit, so that tests can
// crash, signal and inspect a process without harming the test binary.
#pragma once
#include <sys/types.h>
#include <functional>
#include <string>
#include <vector>

struct ChildResult {
    int status = 0;          // raw wait status
    bool timedOut = false;   // killed after the time limit
    std::string errorText;   // everything the child wrote to stderr
    long peakKilobytes = 0;  // the child's peak resident memory
};

class ChildProcess {
public:
    // Forks; the child enters dir, sets CI=1 (unattended), disables core
    // files, runs body and ends with _exit(0) if body returns.
    static ChildProcess Fork(const std::string& dir, const std::function<void()>& body);
    // Starts a program in dir with the given arguments (argv[0] = program).
    static ChildProcess Exec(const std::string& dir, const std::vector<std::string>& argv);

    void Signal(int signal);
    ChildResult Wait(int timeoutSeconds = 60);
    pid_t Pid() const { return pid_; }

private:
    // Forks; the child enters dir and runs inChild, then ends with _exit(0).
    static ChildProcess Start(const std::string& dir, const std::function<void()>& inChild);

    pid_t pid_ = -1;
    int errorPipe_ = -1;
};

// Whether a child's peak memory says anything: AddressSanitizer keeps freed
// memory in quarantine and shadows the rest.
inline bool PeakMemoryIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

// A new empty folder under the system's temporary folder.
std::string MakeTempFolder();
// The whole file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
