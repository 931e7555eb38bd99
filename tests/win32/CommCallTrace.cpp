#include "CommCallTrace.h"

#include "ImportSlot.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <stdexcept>

CommCallTrace* CommCallTrace::current = nullptr;

namespace {

std::set<HANDLE> tracedHandles;

bool traced(HANDLE h) {
    return CommCallTrace::current && tracedHandles.count(h) != 0;
}

CommCall named(const char* function, std::vector<unsigned long> args = {}) {
    CommCall call;
    call.function = function;
    call.args = std::move(args);
    return call;
}

void add(CommCall call) {
    if (CommCallTrace::current) CommCallTrace::current->record(std::move(call));
}

// One hook per function: `Real` is the function it stands in for.
template <class Fn>
struct Hook {
    const char* name;
    Fn hook;
    Fn real = nullptr;
    std::uintptr_t* slot = nullptr;

    void install() {
        slot = importSlot("kernel32.dll", name);
        if (slot == nullptr) throw std::runtime_error(std::string("not imported: ") + name);
        real = reinterpret_cast<Fn>(*slot);
        replaceImport(slot, reinterpret_cast<std::uintptr_t>(hook));
    }
    void remove() {
        if (slot != nullptr) replaceImport(slot, reinterpret_cast<std::uintptr_t>(real));
        slot = nullptr;
    }
};

using CreateFileAFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using HandleDcbFn = BOOL(WINAPI*)(HANDLE, LPDCB);
using HandleDwordFn = BOOL(WINAPI*)(HANDLE, DWORD);
using SetupCommFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD);
using TimeoutsFn = BOOL(WINAPI*)(HANDLE, LPCOMMTIMEOUTS);
using ReadFileFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);

HANDLE WINAPI createFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL WINAPI getCommState(HANDLE, LPDCB);
BOOL WINAPI setCommState(HANDLE, LPDCB);
BOOL WINAPI setupComm(HANDLE, DWORD, DWORD);
BOOL WINAPI setCommMask(HANDLE, DWORD);
BOOL WINAPI purgeComm(HANDLE, DWORD);
BOOL WINAPI escapeCommFunction(HANDLE, DWORD);
BOOL WINAPI getCommTimeouts(HANDLE, LPCOMMTIMEOUTS);
BOOL WINAPI setCommTimeouts(HANDLE, LPCOMMTIMEOUTS);
BOOL WINAPI readFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL WINAPI writeFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL WINAPI closeHandle(HANDLE);

Hook<CreateFileAFn> hCreateFileA{"CreateFileA", createFileA};
Hook<HandleDcbFn> hGetCommState{"GetCommState", getCommState};
Hook<HandleDcbFn> hSetCommState{"SetCommState", setCommState};
Hook<SetupCommFn> hSetupComm{"SetupComm", setupComm};
Hook<HandleDwordFn> hSetCommMask{"SetCommMask", setCommMask};
Hook<HandleDwordFn> hPurgeComm{"PurgeComm", purgeComm};
Hook<HandleDwordFn> hEscapeCommFunction{"EscapeCommFunction", escapeCommFunction};
Hook<TimeoutsFn> hGetCommTimeouts{"GetCommTimeouts", getCommTimeouts};
Hook<TimeoutsFn> hSetCommTimeouts{"SetCommTimeouts", setCommTimeouts};
Hook<ReadFileFn> hReadFile{"ReadFile", readFile};
Hook<WriteFileFn> hWriteFile{"WriteFile", writeFile};
Hook<CloseHandleFn> hCloseHandle{"CloseHandle", closeHandle};

HANDLE WINAPI createFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                          DWORD flags, HANDLE templateFile) {
    HANDLE h = hCreateFileA.real(path, access, share, security, creation, flags, templateFile);
    CommCall call = named("CreateFileA", {access, share, creation, flags});
    call.path = path ? path : "";
    call.args.push_back(security == nullptr && templateFile == nullptr ? 0 : 1);
    add(std::move(call));
    if (h != INVALID_HANDLE_VALUE && CommCallTrace::current) tracedHandles.insert(h);
    return h;
}

BOOL WINAPI getCommState(HANDLE h, LPDCB dcb) {
    if (!traced(h)) return hGetCommState.real(h, dcb);
    CommCallTrace& trace = *CommCallTrace::current;
    BOOL ok = FALSE;
    if (trace.failGetCommState) {
        std::memset(dcb, 0xCC, sizeof *dcb);
        SetLastError(ERROR_INVALID_HANDLE);
    } else {
        ok = hGetCommState.real(h, dcb);
        if (ok && trace.driverReports) trace.driverReports(*dcb);
    }
    CommCall call = named("GetCommState");
    call.dcb = *dcb;
    add(std::move(call));
    return ok;
}

BOOL WINAPI setCommState(HANDLE h, LPDCB dcb) {
    if (traced(h)) {
        CommCall call = named("SetCommState");
        call.dcb = *dcb;
        add(std::move(call));
    }
    return hSetCommState.real(h, dcb);
}

BOOL WINAPI setupComm(HANDLE h, DWORD in, DWORD out) {
    if (traced(h)) add(named("SetupComm", {in, out}));
    return hSetupComm.real(h, in, out);
}

BOOL WINAPI setCommMask(HANDLE h, DWORD mask) {
    if (traced(h)) add(named("SetCommMask", {mask}));
    return hSetCommMask.real(h, mask);
}

BOOL WINAPI purgeComm(HANDLE h, DWORD flags) {
    if (traced(h)) add(named("PurgeComm", {flags}));
    return hPurgeComm.real(h, flags);
}

BOOL WINAPI escapeCommFunction(HANDLE h, DWORD function) {
    if (traced(h)) add(named("EscapeCommFunction", {function}));
    return hEscapeCommFunction.real(h, function);
}

BOOL WINAPI getCommTimeouts(HANDLE h, LPCOMMTIMEOUTS timeouts) {
    BOOL ok = hGetCommTimeouts.real(h, timeouts);
    if (traced(h)) {
        CommCall call = named("GetCommTimeouts");
        call.timeouts = *timeouts;
        add(std::move(call));
    }
    return ok;
}

BOOL WINAPI setCommTimeouts(HANDLE h, LPCOMMTIMEOUTS timeouts) {
    if (traced(h)) {
        CommCall call = named("SetCommTimeouts");
        call.timeouts = *timeouts;
        add(std::move(call));
    }
    return hSetCommTimeouts.real(h, timeouts);
}

BOOL WINAPI readFile(HANDLE h, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED overlapped) {
    if (traced(h)) add(named("ReadFile", {count, overlapped == nullptr ? 0ul : 1ul}));
    return hReadFile.real(h, buffer, count, got, overlapped);
}

BOOL WINAPI writeFile(HANDLE h, LPCVOID data, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
    if (traced(h)) add(named("WriteFile", {count, overlapped == nullptr ? 0ul : 1ul}));
    return hWriteFile.real(h, data, count, written, overlapped);
}

BOOL WINAPI closeHandle(HANDLE h) {
    if (traced(h)) {
        add(named("CloseHandle"));
        tracedHandles.erase(h);
    }
    return hCloseHandle.real(h);
}

template <class F>
void forEachHook(F f) {
    f(hCreateFileA);
    f(hGetCommState);
    f(hSetCommState);
    f(hSetupComm);
    f(hSetCommMask);
    f(hPurgeComm);
    f(hEscapeCommFunction);
    f(hGetCommTimeouts);
    f(hSetCommTimeouts);
    f(hReadFile);
    f(hWriteFile);
    f(hCloseHandle);
}

}  // namespace

CommCallTrace::CommCallTrace() {
    if (current != nullptr) throw std::logic_error("one CommCallTrace at a time");
    forEachHook([](auto& hook) { hook.install(); });
    current = this;
}

CommCallTrace::~CommCallTrace() {
    current = nullptr;
    tracedHandles.clear();
    forEachHook([](auto& hook) { hook.remove(); });
}

std::vector<std::string> CommCallTrace::functions() const {
    std::vector<std::string> names;
    for (const CommCall& call : calls_) names.push_back(call.function);
    return names;
}
