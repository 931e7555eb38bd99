#pragma once
// A pseudo-terminal pair that stands in for the transmitter's USB serial port.
// The program under test opens the slave side (/dev/pts/N) as its port; whoever
// owns this object plays the transmitter on the master side: send() puts bytes
// on the program's input, receive() takes what the program wrote.
//
// A pty is not a UART: the kernel keeps the baud rate, PARODD and CSTOPB of the
// slave, but clears PARENB and forces CS8, and it refuses the modem-line calls.
// Check parity and data bits on the termios the program asks for, not here.
//
// The slave is put in raw mode at once so that nothing the master sends is
// echoed or translated before the program configures the port itself. The
// object then holds a slave descriptor of its own, until releaseSlave(): the
// program counts any other process that has the tty open as another program
// holding the port, so a transmitter played from another process (the
// simulator, a test driving the tools) lets go of it. The slave's settings
// and queues live on while nobody has it open, for as long as the master does.
//
// Linux only. The constructor throws std::system_error when no pty can be made;
// every other member reports by its result.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <termios.h>
#include <vector>

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // "/dev/pts/N": the path the program opens (through a device tree link).
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Closes this object's own slave descriptor, so that only the program has the tty open.
    void releaseSlave();

    // Writes every byte to the program's side; false when the master refuses them
    // (the pty's buffer stays full for a second, or the write fails).
    bool send(const std::vector<std::uint8_t>& bytes);
    bool send(std::string_view text);
    // Sends, then waits until every byte has reached the slave side, where it
    // waits unread: the pty hands bytes over asynchronously, so right after
    // send() the slave may still show fewer. False on a time-out.
    bool sendAndAwaitArrival(std::string_view text, int timeoutMs = 2000);

    // What the program wrote. receive() waits up to timeoutMs for the first byte
    // and returns at most `max` of whatever is there by then (possibly nothing).
    std::vector<std::uint8_t> receive(std::size_t max, int timeoutMs);
    // Collects until `count` bytes have come or timeoutMs have passed in all;
    // returns what came (fewer than `count` on time-out).
    std::vector<std::uint8_t> receiveExactly(std::size_t count, int timeoutMs);
    // Collects until the line has been quiet for quietMs.
    std::vector<std::uint8_t> drain(int quietMs);

    // What the slave's termios holds now, as the program left it (read and set
    // through the master, which acts on the slave's settings). A pty keeps
    // these faithfully; parity-enable and data bits it does not (see above).
    bool slaveSettings(termios& settings) const;
    // Sets the slave as a driver would have it before the program opens it.
    bool setSlaveSettings(const termios& settings);
    int slaveBaudRate() const;      // bits per second; 0 when unknown
    bool slaveParityOdd() const;    // PARODD
    bool slaveTwoStopBits() const;  // CSTOPB
    // Whether the tty is in exclusive mode (TIOCEXCL), which turns away
    // further opens by anyone but root. After releaseSlave() this opens the
    // slave for the moment it takes to look.
    bool slaveExclusive() const;

    // The transmitter goes away: the master side closes, and the kernel hangs up
    // the slave as it does a USB serial port that is unplugged. Writes on the
    // program's open port fail from then on; send() and receive() have nothing left.
    void hangUp();

    // Bytes the program has not read yet / has written that are not yet taken
    // here. The first, after releaseSlave(), opens the slave for the moment it takes.
    int slaveInputPending() const;
    int masterInputPending() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
