#pragma once
// An in-memory serial port for tests and the fuzzer that must see exactly how a
// port is called (the grouping of writes, the time-out of each read) or feed it
// arbitrary input. Linked instead of telvara_platform: it defines serialInterface
// and the open operations itself, since serialInterface has no virtual calls.
//
//   FakePort fake;
//   std::unique_ptr<serialInterface> port(fake.open());
//   fake.queueInput({0x1B, 0x01, 0x00, 0x02, 0x0E, 0x01, 0x00, 0x17});
//   Stk500Session session(port.get());
//   session.signOn();
//   fake.writes();  // {{1B 01 00 01 0E}, {01}, {14}}
//
// A read takes at most `count` queued bytes, never waits, and records its call.
// openPort and openPort9600 give a port of the fake that answers their name
// (answerOpensOf), and none for every other name.
// Not thread-safe: one test at a time, as the program itself.

#include <cstdint>
#include <string>
#include <vector>

class serialInterface;

class FakePort {
public:
    struct ReadCall {
        int count;
        int timeoutMs;
        int returned;
    };
    struct OpenCall {
        std::string portName;
        int baudRate;
        std::string lineFormat;  // "" for openPort9600, which takes none
    };

    FakePort();
    ~FakePort();  // ports of this fake that are still alive then read and write nothing
    FakePort(const FakePort&) = delete;
    FakePort& operator=(const FakePort&) = delete;

    // A new port object on this fake; the caller owns it and deleting it closes it.
    serialInterface* open();
    // openPort/openPort9600 with this name open this fake (counted in opens()).
    void answerOpensOf(const std::string& portName);
    bool answersOpensOf(const std::string& portName) const;

    void queueInput(const std::vector<std::uint8_t>& bytes);
    void queueInput(const std::uint8_t* bytes, std::size_t count);
    std::size_t pendingInput() const;

    // Writes from now on report `result` bytes written (clamped to the count
    // asked) and record only those; -1 (the default) writes everything.
    void setWriteResult(int result);

    const std::vector<std::vector<std::uint8_t>>& writes() const { return writes_; }
    std::vector<std::uint8_t> written() const;  // every write, joined
    const std::vector<ReadCall>& reads() const { return reads_; }
    const std::vector<OpenCall>& opens() const { return opens_; }
    int openPorts() const { return openPorts_; }  // port objects not yet deleted

    // Used by the fake serialInterface; not for tests.
    int onWrite(const void* data, int count);
    int onRead(void* buffer, int count, int timeoutMs);
    void onClose() { --openPorts_; }
    void onOpen(const std::string& portName, int baudRate, const std::string& lineFormat);

private:
    std::vector<std::uint8_t> input_;
    std::size_t inputRead_ = 0;
    int writeResult_ = -1;
    std::vector<std::vector<std::uint8_t>> writes_;
    std::vector<ReadCall> reads_;
    std::vector<OpenCall> opens_;
    int openPorts_ = 0;
    std::string answeredName_;
    bool answersOpens_ = false;
};
