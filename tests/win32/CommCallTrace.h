#pragma once
// Records the communications calls this test executable makes, in order, by
// patching its own import table; the real functions still do the work unless
// a test asks one of them to fail. The calls are what the serial code promises
// (steps, arguments, order), and wine's pseudo-terminal ports cannot show all
// of it from the far end: parity, for one, does not survive a pty.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct CommCall {
    std::string function;
    std::string path;                 // CreateFileA
    std::vector<unsigned long> args;  // the plain numeric arguments, in declaration order
    DCB dcb{};                        // GetCommState (as reported), SetCommState (as passed)
    COMMTIMEOUTS timeouts{};          // GetCommTimeouts (as reported), SetCommTimeouts (as passed)
};

class CommCallTrace {
public:
    CommCallTrace();   // starts recording; one trace at a time
    ~CommCallTrace();  // restores the import table
    CommCallTrace(const CommCallTrace&) = delete;
    CommCallTrace& operator=(const CommCallTrace&) = delete;

    const std::vector<CommCall>& calls() const { return calls_; }
    std::vector<std::string> functions() const;

    // GetCommState fails after scribbling over the record it was given.
    bool failGetCommState = false;
    // Changes what GetCommState reports, as another driver would.
    std::function<void(DCB&)> driverReports;

    // Used by the hooks.
    static CommCallTrace* current;
    void record(CommCall call) { calls_.push_back(std::move(call)); }

private:
    std::vector<CommCall> calls_;
};
