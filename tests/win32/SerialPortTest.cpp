// The transmitter's port on Windows: the comm calls an open makes, and what a
// transmitter at the far end of a null-modem pair of ptys sees and sends.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "CommCallTrace.h"
#include "TestPorts.h"
#include "core/KeypadLine.h"
#include "platform/serialInterface.h"

namespace {

using Port = std::unique_ptr<serialInterface>;

// The far end of the cable, where the test plays the transmitter.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        transmitter.reset(openPort9600(wintest::kTransmitterPort));
        ASSERT_TRUE(transmitter) << "the null modem of scripts/test-windows is not there";
        drain(*transmitter);
    }

    static void drain(serialInterface& port) {
        char sink[512];
        while (port.read(sink, sizeof sink, 20) > 0) {}
    }

    // Everything that arrives within `timeoutMs`, in as many reads as it takes.
    static std::string readAll(serialInterface& port, std::size_t expected, int timeoutMs = 500) {
        std::string got;
        char buffer[512];
        while (got.size() < expected) {
            const int n = port.read(buffer, static_cast<int>(sizeof buffer), timeoutMs);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    Port transmitter;
};

TEST_F(SerialPortTest, OpenMakesTheCommCallsInOrderWithTheirArguments) {
    CommCallTrace trace;
    trace.driverReports = [](DCB& dcb) {  // settings the open must leave alone
        dcb.XonLim = 77;
        dcb.XoffLim = 99;
        dcb.EvtChar = '!';
        dcb.fParity = 1;
    };
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);

    EXPECT_EQ(trace.functions(),
              (std::vector<std::string>{"CreateFileA", "GetCommState", "SetupComm", "SetCommState", "SetCommMask",
                                        "PurgeComm", "EscapeCommFunction", "EscapeCommFunction", "SetCommTimeouts"}));
    const auto& calls = trace.calls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(calls[0].path, std::string("\\\\.\\") + wintest::kProgramPort);
    // access read|write, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL (not overlapped), no extras
    EXPECT_EQ(calls[0].args, (std::vector<unsigned long>{0xC0000000ul, 0, 3, 0x80, 0}));
    EXPECT_EQ(calls[2].args, (std::vector<unsigned long>{512, 512}));

    DCB expected = calls[1].dcb;
    expected.BaudRate = 2400;
    expected.ByteSize = 8;
    expected.Parity = ODDPARITY;
    expected.StopBits = ONESTOPBIT;
    expected.fBinary = 1;
    EXPECT_EQ(std::memcmp(&calls[3].dcb, &expected, sizeof expected), 0) << "only the line settings change";
    EXPECT_EQ(calls[3].dcb.XonLim, 77);
    EXPECT_EQ(calls[3].dcb.fParity, 1u);

    EXPECT_EQ(calls[4].args, std::vector<unsigned long>{0});
    EXPECT_EQ(calls[5].args, std::vector<unsigned long>{15});
    EXPECT_EQ(calls[6].args, std::vector<unsigned long>{CLRDTR}) << "DTR goes off first";
    EXPECT_EQ(calls[7].args, std::vector<unsigned long>{CLRRTS});
    const COMMTIMEOUTS& t = calls[8].timeouts;
    EXPECT_EQ((std::vector<DWORD>{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                                  t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant}),
              (std::vector<DWORD>{0, 0, 500, 0, 500}));

    port.reset();
    EXPECT_EQ(trace.functions().back(), "CloseHandle");
}

struct LineFormatCase {
    const char* label;   // the test's name
    const char* format;  // nullptr: openPort9600
    BYTE driverParity;   // what the driver reports before the open changes it
    DWORD baud;
    BYTE parity;  // what the open asks for
};

void PrintTo(const LineFormatCase& c, std::ostream* out) {
    *out << c.label;
}

class LineFormatTest : public SerialPortTest, public ::testing::WithParamInterface<LineFormatCase> {};

TEST_P(LineFormatTest, OnlyTheParityLetterIsReadAndDataAndStopBitsAreAlways8And1) {
    const LineFormatCase& c = GetParam();
    CommCallTrace trace;
    trace.driverReports = [&](DCB& dcb) {
        dcb.Parity = c.driverParity;
        dcb.ByteSize = 7;
        dcb.StopBits = TWOSTOPBITS;
    };
    Port port(c.format ? openPort(wintest::kProgramPort, static_cast<int>(c.baud), c.format)
                       : openPort9600(wintest::kProgramPort));
    ASSERT_TRUE(port);
    const auto& calls = trace.calls();
    ASSERT_GE(calls.size(), 4u);
    ASSERT_EQ(calls[3].function, "SetCommState");
    EXPECT_EQ(calls[3].dcb.BaudRate, c.baud);
    EXPECT_EQ(calls[3].dcb.Parity, c.parity);
    EXPECT_EQ(calls[3].dcb.ByteSize, 8);
    EXPECT_EQ(calls[3].dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(calls[3].dcb.fBinary, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LineFormatTest,
    ::testing::Values(LineFormatCase{"odd", "8O1", EVENPARITY, 2400, ODDPARITY},
                      LineFormatCase{"even", "8E1", ODDPARITY, 2400, EVENPARITY},
                      LineFormatCase{"none", "8N1", ODDPARITY, 2400, NOPARITY},
                      LineFormatCase{"mark", "8M1", ODDPARITY, 2400, MARKPARITY},
                      LineFormatCase{"space", "8S1", ODDPARITY, 2400, SPACEPARITY},
                      LineFormatCase{"lowerCaseKeepsTheDrivers", "8e1", SPACEPARITY, 2400, SPACEPARITY},
                      LineFormatCase{"unknownLetterKeepsTheDrivers", "8x1", MARKPARITY, 2400, MARKPARITY},
                      LineFormatCase{"otherDataAndStopBits", "7O2", EVENPARITY, 2400, ODDPARITY},
                      LineFormatCase{"twoCharacters", "8N", ODDPARITY, 2400, NOPARITY},  // not 3 characters: no parity
                      LineFormatCase{"empty", "", ODDPARITY, 2400, NOPARITY},
                      LineFormatCase{"fourCharacters", "8O1 ", EVENPARITY, 2400, NOPARITY},
                      LineFormatCase{"openPort9600", nullptr, ODDPARITY, 9600, NOPARITY}),
    [](const ::testing::TestParamInfo<LineFormatCase>& info) { return std::string(info.param.label); });

TEST_F(SerialPortTest, UnreadableDriverSettingsAreReplacedByZerosNotLeftOver) {
    CommCallTrace trace;
    trace.failGetCommState = true;  // and it scribbles over the record it was given
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port) << "a port whose settings cannot be read still opens";
    ASSERT_EQ(trace.calls().at(3).function, "SetCommState");

    DCB expected{};
    expected.DCBlength = sizeof expected;
    expected.BaudRate = 2400;
    expected.ByteSize = 8;
    expected.Parity = ODDPARITY;
    expected.StopBits = ONESTOPBIT;
    expected.fBinary = 1;
    EXPECT_EQ(std::memcmp(&trace.calls()[3].dcb, &expected, sizeof expected), 0);
}

TEST_F(SerialPortTest, PortsThatAreNotThereOpenNothing) {
    for (const char* name : {wintest::kAbsentPort, "", "COM20\\..\\nothing"}) {
        CommCallTrace trace;
        EXPECT_EQ(openPort(name, kKeypadBaudRate, kKeypadLineFormat), nullptr) << name;
        EXPECT_EQ(openPort9600(name), nullptr) << name;
        EXPECT_EQ(trace.functions(), (std::vector<std::string>{"CreateFileA", "CreateFileA"}))
            << "nothing else is called after a failed CreateFileA";
    }
}

TEST_F(SerialPortTest, ANameThatLeadsToAFileOrAPipeOpensNothingAndWritesNothing) {
    char directory[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof directory, directory), 0u);
    const std::string file = std::string(directory) + "telvara-not-a-port.txt";
    HANDLE created =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    // One instance for each of the two opens below.
    const std::string pipeName = "pipe\\telvara-not-a-port";
    HANDLE pipes[2];
    for (HANDLE& pipe : pipes) {
        pipe = CreateNamedPipeA(("\\\\.\\" + pipeName).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 2, 4096, 4096, 0,
                                nullptr);
        ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    }

    for (const std::string& name : {file, pipeName}) {
        SCOPED_TRACE(name);
        CommCallTrace trace;
        serial::OpenFailure failure;
        EXPECT_EQ(openPort(name, kKeypadBaudRate, kKeypadLineFormat, &failure), nullptr);
        EXPECT_EQ(failure.devicePath, "\\\\.\\" + name);
        EXPECT_EQ(failure.reason, "not a serial port (a file, pipe or disk, not a character device)");
        EXPECT_EQ(openPort9600(name), nullptr);
        EXPECT_EQ(trace.functions(),
                  (std::vector<std::string>{"CreateFileA", "CloseHandle", "CreateFileA", "CloseHandle"}))
            << "no line settings, no purge, no write";
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_EQ(attributes.nFileSizeLow, 0u);
    for (HANDLE pipe : pipes) {
        DWORD waiting = 1;
        // A pipe whose client has gone reports nothing left to read, or that it is broken.
        if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) {
            EXPECT_EQ(waiting, 0u);
        }
        CloseHandle(pipe);
    }
    DeleteFileA(file.c_str());
}

TEST_F(SerialPortTest, APortThatIsNotThereSaysWhatWasTried) {
    serial::OpenFailure failure;
    EXPECT_EQ(openPort(wintest::kAbsentPort, kKeypadBaudRate, kKeypadLineFormat, &failure), nullptr);
    EXPECT_EQ(failure.devicePath, std::string("\\\\.\\") + wintest::kAbsentPort);
    EXPECT_FALSE(failure.reason.empty());
}

TEST_F(SerialPortTest, APulseStringGoesOutInOneWriteAndArrivesWhole) {
    const std::string pulse = "*BbDbBbBbBbBbBbBbBbBbBbBdB~*";
    CommCallTrace trace;
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    EXPECT_EQ(port->write(pulse.data(), static_cast<int>(pulse.size())), static_cast<int>(pulse.size()));
    EXPECT_EQ(trace.calls().back().function, "WriteFile");
    EXPECT_EQ(trace.calls().back().args, (std::vector<unsigned long>{28, 0}));
    EXPECT_EQ(readAll(*transmitter, pulse.size()), pulse);
}

TEST_F(SerialPortTest, WritesOfNothingOrANegativeCountSendNothing) {
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    const char data[] = "abc";
    EXPECT_EQ(port->write(data, 0), 0);
    EXPECT_EQ(port->write(data, -1), 0);
    EXPECT_EQ(port->write(nullptr, 3), 0);
    EXPECT_EQ(readAll(*transmitter, 1, 100), "");
}

TEST_F(SerialPortTest, AReadTakesAtMostCountAndLeavesTheRestQueued) {
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    std::string sent(200, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>('A' + i % 26);
    ASSERT_EQ(transmitter->write(sent.data(), 200), 200);

    char buffer[256];
    ASSERT_EQ(port->read(buffer, 128, 500), 128);
    EXPECT_EQ(std::string(buffer, 128), sent.substr(0, 128));
    EXPECT_EQ(port->read(buffer, 0, 500), 0) << "count 0 reads nothing";
    ASSERT_EQ(port->read(buffer, 128, 500), 72);
    EXPECT_EQ(std::string(buffer, 72), sent.substr(128));
}

TEST_F(SerialPortTest, BytesSentBeforeTheOpenAreDiscarded) {
    ASSERT_EQ(transmitter->write("stale", 5), 5);
    Sleep(100);  // let the cable carry them into the program's queue
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    char buffer[16];
    EXPECT_EQ(port->read(buffer, sizeof buffer, 100), 0);
    ASSERT_EQ(transmitter->write("fresh", 5), 5);
    EXPECT_EQ(readAll(*port, 5), "fresh");
}

struct ReadTimeoutCase {
    const char* label;  // the test's name
    int argument;
    bool given;
    DWORD constant;
};

void PrintTo(const ReadTimeoutCase& c, std::ostream* out) {
    *out << c.label;
}

class ReadTimeoutTest : public SerialPortTest, public ::testing::WithParamInterface<ReadTimeoutCase> {};

TEST_P(ReadTimeoutTest, EachReadSetsItsOwnTotalTimeoutAndLeavesTheRest) {
    const ReadTimeoutCase& c = GetParam();
    CommCallTrace trace;
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    const std::size_t before = trace.calls().size();
    char buffer[128];
    EXPECT_EQ(c.given ? port->read(buffer, 128, c.argument) : port->read(buffer, 128), 0) << "nothing was sent";

    const std::vector<CommCall> calls(trace.calls().begin() + static_cast<std::ptrdiff_t>(before), trace.calls().end());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].function, "GetCommTimeouts");
    EXPECT_EQ(calls[1].function, "SetCommTimeouts");
    EXPECT_EQ(calls[2].function, "ReadFile");
    const COMMTIMEOUTS& t = calls[1].timeouts;
    EXPECT_EQ((std::vector<DWORD>{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                                  t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant}),
              (std::vector<DWORD>{0, 0, c.constant, 0, 500}));
    EXPECT_EQ(calls[2].args, (std::vector<unsigned long>{128, 0}));
}

INSTANTIATE_TEST_SUITE_P(Arguments, ReadTimeoutTest,
                         ::testing::Values(ReadTimeoutCase{"default", 0, false, 1}, ReadTimeoutCase{"zero", 0, true, 1},
                                           ReadTimeoutCase{"negative", -5, true, 1}, ReadTimeoutCase{"one", 1, true, 1},
                                           ReadTimeoutCase{"fiveHundred", 500, true, 500}),
                         [](const ::testing::TestParamInfo<ReadTimeoutCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(SerialPortTest, AReadFromASilentTransmitterWaitsForItsTimeOut) {
    // The bootloader exchange counts on this: an answer may take up to half a second.
    Port port(openPort9600(wintest::kProgramPort));
    ASSERT_TRUE(port);
    char buffer[5];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->read(buffer, 5, 500), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
}

TEST_F(SerialPortTest, ADeletedPortCanBeOpenedAgain) {
    Port port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    port.reset();
    port.reset(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    ASSERT_TRUE(port);
    ASSERT_EQ(port->write("x", 1), 1);
    EXPECT_EQ(readAll(*transmitter, 1), "x");
}

}  // namespace
