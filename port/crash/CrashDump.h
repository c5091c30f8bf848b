// Writes one crash-dump file of our own format, growing in detail by kind:
//   Sparse   - header (signal, code, faulting address, process and thread,
//              reason), registers, the crashing thread's backtrace with
//              symbols, the loaded modules (/proc/self/maps verbatim);
//   Indirect - Sparse plus the crashing thread's stack bytes and the memory
//              pages that registers and stack words point into;
//   Verbose  - Indirect plus every readable and writable mapping.
// Text lines end in LF; a memory block is a line "stack:", "memory:" or
// "mapping:" with its start address and size in hex, then exactly that many
// raw bytes (unreadable bytes as zeros) and an LF. The file ends with "end\n".
// Used by the crash handler on the crashing thread; allocates nothing.
#pragma once
#include <cstdint>

class MemoryMap;

enum class DumpKind { Sparse, Indirect, Verbose };

struct CrashInfo {
    int signal = 0;              // 0 when the report comes from std::terminate
    int code = 0;                // the signal's si_code
    std::uintptr_t address = 0;  // the faulting address (si_addr)
    std::int64_t processId = 0;
    std::uint32_t threadId = 0;
    const char* reason = nullptr;  // extra text, e.g. the uncaught exception
    void* context = nullptr;       // machine context: the signal's ucontext_t,
                                   // or one captured by the terminate handler
    bool signalFrame = false;      // context comes from the kernel's signal frame
};

const char* SignalName(int signal);

// Writes the dump to the open descriptor (not closed here). False when a
// write was refused: the file then lacks its end.
bool WriteCrashDump(int fd, DumpKind kind, const CrashInfo& info, const MemoryMap& map);
