#include "port/crash/CrashHandler.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include "port/crash/CrashDump.h"
#include "port/crash/MemoryMap.h"
#include "port/os/MessageBox.h"

namespace {
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t kAltStackSize = 512 * 1024;

struct DumpFile {
    const char* name;
    DumpKind kind;
};
constexpr DumpFile kDumpFiles[] = {
    {"Sparse.dmp", DumpKind::Sparse},
    {"Indirect.dmp", DumpKind::Indirect},
    {"Verbose.dmp", DumpKind::Verbose},
};

// 0: no crash yet; otherwise the thread id of the one thread that reports.
std::atomic<long> gReportingThread{0};
std::atomic<void (*)(int, const void*)> gDiversion{nullptr};
MemoryMap gMemoryMap;  // filled at crash time only

long ThreadId() {
    return ::syscall(SYS_gettid);
}

// A thread's alternate signal stack, with a guard page below it.
struct AltStack {
    char* base = nullptr;
    std::size_t size = 0;

    ~AltStack() {
        if (base == nullptr) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
        ::munmap(base, size);
    }
};
thread_local AltStack tAltStack;

// Appends text to the report's fixed buffer (no allocation on the crash path).
struct ReportText {
    char text[256] = {};
    std::size_t length = 0;
    void Add(const char* more) {
        while (*more != '\0' && length + 1 < sizeof text) text[length++] = *more++;
        text[length] = '\0';
    }
};

void WriteReports(const CrashInfo& info) {
    // The log's lock may be held by the crashed code: unattended boxes go to stderr only.
    SetMessageBoxLogSink(nullptr);
    gMemoryMap.Load();
    static ReportText report;  // the alternate signal stack is small; one reporter at a time
    report.Add("Writing crash report...");
    const char* separator = "\nThese dumps could not be written (disk full or not writable): ";
    for (const DumpFile& file : kDumpFiles) {
        int fd;
        do {
            fd = ::open(file.name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        } while (fd < 0 && errno == EINTR);
        bool written = false;
        if (fd >= 0) {  // one that cannot be made is reported; the next may still be
            written = WriteCrashDump(fd, file.kind, info, gMemoryMap);
            written = ::close(fd) == 0 && written;
        }
        if (!written) {
            report.Add(separator);
            report.Add(file.name);
            separator = ", ";
        }
    }
    ShowMessageBox(report.text, "FATAL ERROR");
}

// True when this thread is the one to report. Another thread that crashes
// meanwhile waits here until the reporter ends the process.
bool ClaimReport() {
    long self = ThreadId();
    long none = 0;
    if (gReportingThread.compare_exchange_strong(none, self)) return true;
    if (none == self) return false;  // the reporter itself: its abort, or a fault while reporting
    for (;;) ::pause();
}

void EndWithSignal(int signal) {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    // Blocked while the handler runs; delivered with the default action on return.
    ::syscall(SYS_tgkill, ::getpid(), ThreadId(), signal);
}

void CrashSignalHandler(int signal, siginfo_t* info, void* context) {
    int savedErrno = errno;
    if (ClaimReport()) {
        if (void (*divert)(int, const void*) = gDiversion.load()) divert(signal, context);
        CrashInfo crash;
        crash.signal = signal;
        crash.code = info != nullptr ? info->si_code : 0;
        crash.address = info != nullptr ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0;
        crash.processId = ::getpid();
        crash.threadId = static_cast<std::uint32_t>(ThreadId());
        crash.context = context;
        crash.signalFrame = true;
        WriteReports(crash);
    }
    EndWithSignal(signal);
    errno = savedErrno;
}

void DescribeCurrentException(char* text, std::size_t size) {
    std::snprintf(text, size, "std::terminate without an exception");
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (std::uint32_t code) {
        std::snprintf(text, size, "uncaught exception: u32 %u", code);
    } catch (const std::exception& e) {
        std::snprintf(text, size, "uncaught exception: %s", e.what());
    } catch (...) {
        std::snprintf(text, size, "uncaught exception of unknown type");
    }
}

[[noreturn]] void TerminateHandler() {
    if (ClaimReport()) {
        char reason[512];
        DescribeCurrentException(reason, sizeof reason);
        unw_context_t context;
        unw_getcontext(&context);
        CrashInfo crash;
        crash.processId = ::getpid();
        crash.threadId = static_cast<std::uint32_t>(ThreadId());
        crash.reason = reason;
        crash.context = &context;
        crash.signalFrame = false;
        WriteReports(crash);
    }
    std::abort();  // the SIGABRT handler sees the report done and ends the process
}

// libunwind initialises itself on first use; do that now, not inside a crash.
void WarmUpUnwinder() {
    unw_context_t context;
    unw_cursor_t cursor;
    unw_getcontext(&context);
    if (unw_init_local(&cursor, &context) == 0) {
        char name[64];
        unw_word_t offset;
        unw_get_proc_name(&cursor, name, sizeof name, &offset);
        unw_step(&cursor);
    }
}
}  // namespace

void InstallThreadCrashStack() {
    if (tAltStack.base != nullptr) return;
    long page = ::sysconf(_SC_PAGESIZE);
    std::size_t guard = page > 0 ? static_cast<std::size_t>(page) : 4096;
    std::size_t total = kAltStackSize + guard;
    void* memory = ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return;  // the thread keeps the default: overflow there is not reported
    char* base = static_cast<char*>(memory);
    ::mprotect(base, guard, PROT_NONE);
    stack_t stack{};
    stack.ss_sp = base + guard;
    stack.ss_size = kAltStackSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(base, total);
        return;
    }
    tAltStack.base = base;
    tAltStack.size = total;
}

void InstallCrashHandlers() {
    InstallThreadCrashStack();
    WarmUpUnwinder();
    struct sigaction action {};
    action.sa_sigaction = CrashSignalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    for (int signal : kCrashSignals) ::sigaction(signal, &action, nullptr);
    std::set_terminate(TerminateHandler);
}

void SetCrashDiversion(void (*divert)(int signal, const void* context)) {
    gDiversion.store(divert);
}
