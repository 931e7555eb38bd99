#include "platform/posix/LineSettings.h"

#include <array>
#include <utility>

namespace serial {
namespace {

constexpr std::array<std::pair<int, speed_t>, 19> kSpeeds{{
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800},
}};

}  // namespace

Parity parityOfLineFormat(const std::string& lineFormat) {
    if (lineFormat.size() != 3) return Parity::None;
    switch (lineFormat[1]) {
        case 'N': return Parity::None;
        case 'E': return Parity::Even;
        case 'O': return Parity::Odd;
        case 'M': return Parity::Mark;
        case 'S': return Parity::Space;
        default: return Parity::Unchanged;
    }
}

std::optional<speed_t> speedOfBaudRate(int baudRate) {
    for (const auto& [rate, speed] : kSpeeds)
        if (rate == baudRate) return speed;
    return std::nullopt;
}

int baudRateOfSpeed(speed_t speed) {
    for (const auto& [rate, constant] : kSpeeds)
        if (constant == speed) return rate;
    return 0;
}

termios lineSettings(const termios& current, int baudRate, Parity parity) {
    termios t = current;

    // Binary: every byte passes as it is, both ways, with no echo, no signals
    // and no line editing. That includes XON/XOFF: a Linux tty starts with
    // IXON on, which would swallow 0x11 and 0x13 out of STK500v2 answers; the
    // Windows driver starts with it off. Hardware flow control stays as it is.
    t.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // Reads must return at once with what is there: the wait belongs to the
    // caller's own time-out, and the carrier line must not gate the port.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cflag |= CREAD | CLOCAL;

    if (auto speed = speedOfBaudRate(baudRate)) {
        cfsetispeed(&t, *speed);
        cfsetospeed(&t, *speed);
    }

    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE | CSTOPB)) | CS8;

    constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;
    switch (parity) {
        case Parity::None: t.c_cflag &= ~kParityBits; break;
        case Parity::Odd: t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | PARODD; break;
        case Parity::Even: t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB; break;
        // With CMSPAR the parity bit is fixed: PARODD makes it 1 (mark), its absence 0 (space).
        case Parity::Mark: t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | CMSPAR | PARODD; break;
        case Parity::Space: t.c_cflag = (t.c_cflag & ~kParityBits) | PARENB | CMSPAR; break;
        case Parity::Unchanged: break;
    }
    return t;
}

}  // namespace serial
