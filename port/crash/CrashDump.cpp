#include "port/crash/CrashDump.h"

#include <ucontext.h>
#include <csignal>
#include <cstddef>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include "port/crash/DumpStream.h"
#include "port/crash/MemoryMap.h"

// Memory is inspected word by word on purpose: sanitizers must not treat the
// reads of other frames' stack bytes as errors.
#define DD_NO_SANITIZE_ADDRESS __attribute__((no_sanitize("address")))

namespace {
constexpr std::size_t kMaxStackBytes = 8u << 20;
constexpr std::size_t kMaxMappingBytes = 64u << 20;
constexpr std::size_t kMaxVerboseBytes = 256u << 20;
constexpr int kMaxFrames = 128;
constexpr std::uintptr_t kPage = 4096;

// Distinct pages referenced by registers and stack words (open addressing).
class PageSet {
public:
    void Add(std::uintptr_t page) {
        if (count_ >= kMaxPages || page == 0) return;
        std::size_t slot = (page / kPage * 0x9E3779B97F4A7C15ull) % kSlots;
        while (slots_[slot] != 0) {
            if (slots_[slot] == page) return;
            slot = (slot + 1) % kSlots;
        }
        slots_[slot] = page;
        ++count_;
    }
    void Clear() {
        for (std::uintptr_t& slot : slots_) slot = 0;
        count_ = 0;
    }
    std::size_t Count() const { return count_; }
    template <class F>
    void ForEach(F f) const {
        for (std::uintptr_t page : slots_)
            if (page != 0) f(page);
    }

private:
    static constexpr std::size_t kSlots = 4096;
    static constexpr std::size_t kMaxPages = 1024;
    std::uintptr_t slots_[kSlots] = {};
    std::size_t count_ = 0;
};

PageSet gPages;  // only the one reporting thread uses it

struct RegisterName {
    const char* name;
    int index;
};

#if defined(__x86_64__)
const RegisterName kRegisters[] = {
    {"rax", REG_RAX}, {"rbx", REG_RBX},       {"rcx", REG_RCX}, {"rdx", REG_RDX}, {"rsi", REG_RSI}, {"rdi", REG_RDI},
    {"rbp", REG_RBP}, {"rsp", REG_RSP},       {"r8", REG_R8},   {"r9", REG_R9},   {"r10", REG_R10}, {"r11", REG_R11},
    {"r12", REG_R12}, {"r13", REG_R13},       {"r14", REG_R14}, {"r15", REG_R15}, {"rip", REG_RIP}, {"eflags", REG_EFL},
    {"err", REG_ERR}, {"trapno", REG_TRAPNO}, {"cr2", REG_CR2},
};

std::uint64_t RegisterValue(const CrashInfo& info, int index) {
    const auto* uc = static_cast<const ucontext_t*>(info.context);
    return static_cast<std::uint64_t>(uc->uc_mcontext.gregs[index]);
}

std::uintptr_t StackPointer(const CrashInfo& info) {
    return static_cast<std::uintptr_t>(RegisterValue(info, REG_RSP));
}
#else
const RegisterName kRegisters[] = {{"sp", UNW_REG_SP}, {"ip", UNW_REG_IP}};

std::uint64_t RegisterValue(const CrashInfo& info, int index) {
    unw_cursor_t cursor;
    if (unw_init_local2(&cursor, static_cast<unw_context_t*>(info.context),
                        info.signalFrame ? UNW_INIT_SIGNAL_FRAME : 0) != 0)
        return 0;
    unw_word_t value = 0;
    unw_get_reg(&cursor, index, &value);
    return value;
}

std::uintptr_t StackPointer(const CrashInfo& info) {
    return RegisterValue(info, UNW_REG_SP);
}
#endif

void WriteHeader(DumpStream& out, DumpKind kind, const CrashInfo& info) {
    static const char* const kKinds[] = {"Sparse", "Indirect", "Verbose"};
    out.Text("DevozizuDave crash dump\nkind: ").Text(kKinds[static_cast<int>(kind)]).Text("\n");
    out.Text("process: ").Decimal(info.processId).Text("\nthread: ").Decimal(info.threadId).Text("\n");
    if (info.signal != 0) {
        out.Text("signal: ").Decimal(info.signal).Text(" ").Text(SignalName(info.signal)).Text("\n");
        out.Text("code: ").Decimal(info.code).Text("\naddress: ").Hex(info.address).Text("\n");
    } else {
        out.Text("signal: none (terminate)\n");
    }
    if (info.reason != nullptr) out.Text("reason: ").Text(info.reason).Text("\n");
}

void WriteRegisters(DumpStream& out, const CrashInfo& info) {
    out.Text("registers:\n");
    if (info.context == nullptr) return;
    for (const RegisterName& reg : kRegisters)
        out.Text("  ").Text(reg.name).Text(" ").Hex(RegisterValue(info, reg.index)).Text("\n");
}

void WriteModuleOf(DumpStream& out, std::uintptr_t ip, const MemoryMap& map) {
    const MemoryRegion* region = map.Find(ip);
    if (region == nullptr || region->pathLength == 0) return;
    out.Text(" (").Text(region->path, region->pathLength).Text("+");
    out.Hex(ip - region->start + region->fileOffset).Text(")");
}

void WriteBacktrace(DumpStream& out, const CrashInfo& info, const MemoryMap& map) {
    out.Text("backtrace:\n");
    if (info.context == nullptr) return;
    unw_cursor_t cursor;
    int flags = info.signalFrame ? UNW_INIT_SIGNAL_FRAME : 0;
    if (unw_init_local2(&cursor, static_cast<unw_context_t*>(info.context), flags) != 0) {
        out.Text("  (cannot unwind)\n");
        return;
    }
    for (int frame = 0; frame < kMaxFrames; ++frame) {
        unw_word_t ip = 0;
        unw_get_reg(&cursor, UNW_REG_IP, &ip);
        out.Text("  #").Decimal(frame).Text(" ").Hex(ip);
        char name[256];
        unw_word_t offset = 0;
        if (unw_get_proc_name(&cursor, name, sizeof name, &offset) == 0) {
            name[sizeof name - 1] = '\0';
            out.Text(" ").Text(name).Text("+").Hex(offset);
        }
        WriteModuleOf(out, ip, map);
        out.Text("\n");
        if (unw_step(&cursor) <= 0) break;
    }
}

void WriteModules(DumpStream& out, const MemoryMap& map) {
    out.Text("modules:\n").Text(map.Text(), map.TextLength());
    if (map.Truncated()) out.Text("\n(truncated)\n");
    out.Text("end of modules\n");
}

void WriteBlock(DumpStream& out, const char* label, std::uintptr_t start, std::size_t size) {
    out.Text(label).Text(" ").Hex(start).Text(" ").Hex(size).Text("\n");
    out.Memory(start, size);
    out.Text("\n");
}

// The crashing thread's stack: from just below the stack pointer (the red
// zone) to the end of its mapping. After a stack overflow the pointer lies
// in the guard page, so the mapping just above is taken.
bool FindStack(const CrashInfo& info, const MemoryMap& map, std::uintptr_t& start, std::size_t& size) {
    if (info.context == nullptr) return false;
    std::uintptr_t sp = StackPointer(info);
    const MemoryRegion* region = map.Find(sp);
    if (region == nullptr || !region->Dumpable()) region = map.Find(sp + kPage);
    if (region == nullptr || !region->Dumpable()) return false;
    start = sp >= region->start + 128 ? sp - 128 : region->start;
    if (start < region->start) start = region->start;
    size = region->end - start;
    if (size > kMaxStackBytes) size = kMaxStackBytes;
    return true;
}

void AddReferencedPage(std::uintptr_t value, const MemoryMap& map) {
    const MemoryRegion* region = map.Find(value);
    if (region != nullptr && region->Dumpable()) gPages.Add(value & ~(kPage - 1));
}

DD_NO_SANITIZE_ADDRESS void CollectStackWords(std::uintptr_t start, std::size_t size, const MemoryMap& map) {
    std::uintptr_t word = (start + sizeof(std::uintptr_t) - 1) & ~(sizeof(std::uintptr_t) - 1);
    for (; word + sizeof(std::uintptr_t) <= start + size; word += sizeof(std::uintptr_t))
        AddReferencedPage(*reinterpret_cast<const volatile std::uintptr_t*>(word), map);
}

void WriteIndirectMemory(DumpStream& out, const CrashInfo& info, const MemoryMap& map) {
    gPages.Clear();
    if (info.context != nullptr)
        for (const RegisterName& reg : kRegisters) AddReferencedPage(RegisterValue(info, reg.index), map);
    std::uintptr_t stackStart = 0;
    std::size_t stackSize = 0;
    if (FindStack(info, map, stackStart, stackSize)) {
        WriteBlock(out, "stack:", stackStart, stackSize);
        CollectStackWords(stackStart, stackSize, map);
    } else {
        out.Text("stack: unreadable\n");
    }
    out.Text("referenced pages: ").Decimal(static_cast<std::int64_t>(gPages.Count())).Text("\n");
    gPages.ForEach([&](std::uintptr_t page) { WriteBlock(out, "memory:", page, kPage); });
}

void WriteMappings(DumpStream& out, const MemoryMap& map) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < map.Count(); ++i) {
        const MemoryRegion& region = map.Region(i);
        if (!region.writable || !region.Dumpable()) continue;
        const char* skipped = nullptr;
        if (region.Size() > kMaxMappingBytes)
            skipped = "larger than 64 MiB";
        else if (total + region.Size() > kMaxVerboseBytes)
            skipped = "dump size limit reached";
        if (skipped != nullptr) {
            out.Text("skipped: ").Text(region.line, region.lineLength).Text(" (").Text(skipped).Text(")\n");
            continue;
        }
        out.Text("mapping: ").Text(region.line, region.lineLength).Text("\n");
        WriteBlock(out, "memory:", region.start, region.Size());
        total += region.Size();
    }
}
}  // namespace

const char* SignalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        case SIGILL:
            return "SIGILL";
        case SIGABRT:
            return "SIGABRT";
        default:
            return "signal";
    }
}

bool WriteCrashDump(int fd, DumpKind kind, const CrashInfo& info, const MemoryMap& map) {
    DumpStream out(fd);
    WriteHeader(out, kind, info);
    WriteRegisters(out, info);
    WriteBacktrace(out, info, map);
    WriteModules(out, map);
    if (kind != DumpKind::Sparse) WriteIndirectMemory(out, info, map);
    if (kind == DumpKind::Verbose) WriteMappings(out, map);
    out.Text("end\n");
    out.Flush();
    return !out.Failed();
}
