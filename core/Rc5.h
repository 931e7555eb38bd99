#pragma once
// RC-5 frames as the transmitter wants them: the 12-bit code word below the two
// start bits, its hexadecimal form for the status bar, and the ASCII pulse string
// that the transmitter replays as infrared half-bit periods.

#include <cstdint>
#include <string>

namespace rc5 {

// Pulse-string symbols. The transmitter knows nothing else.
inline constexpr char kFrameBoundary = '*';  // opens and closes the string
inline constexpr char kMark = 'B';           // one half-bit with carrier
inline constexpr char kSpace = 'b';          // one half-bit without carrier
inline constexpr char kDoubleMark = 'D';     // two half-bits with carrier
inline constexpr char kDoubleSpace = 'd';    // two half-bits without carrier
inline constexpr char kRunEnd = '~';         // ends the half-bit runs, then '*'

inline constexpr int kDataBits = 12;  // toggle, 5 address bits, 6 command bits
inline constexpr int kToggleWeight = 2048;
inline constexpr int kAddressWeight = 64;

// The light a pulse string stands for: half-bits of 889 us (32 periods of a
// 36 kHz carrier), a new frame every 64 bit times while a key is held.
inline constexpr int kHalfBitMicroseconds = 889;
inline constexpr int kCarrierHz = 36000;
inline constexpr int kFramePeriodHalfBits = 128;
inline constexpr int kFramePeriodMicroseconds = kFramePeriodHalfBits * kHalfBitMicroseconds;  // 113.778 ms
// Rounded up, so that a pause of this many milliseconds never cuts a period short.
inline constexpr int kFramePeriodMs = (kFramePeriodMicroseconds + 999) / 1000;
// The half-bits of one frame as sent: two start bits and the data bits, less
// the leading space of the first start bit. No pulse string holds more.
inline constexpr int kFrameHalfBits = 2 * (2 + kDataBits) - 1;

// toggle * 2048 + device * 64 + command, as computed: out-of-range values spill
// into the neighbouring fields on purpose, and -1 keys give all-ones command bits.
std::int32_t codeWord(std::int32_t toggle, std::int32_t device, std::int32_t command);

// The toggle bit of the next key press: flipped, so that a receiver tells a new
// press from a held key; anything other than 0 counts as 1.
constexpr std::int32_t nextToggle(std::int32_t toggle) {
    return toggle != 0 ? 0 : 1;
}

// Upper-case hex of the word taken as unsigned 32-bit, at least 4 digits.
std::string hexForm(std::int32_t codeWord);

// The pulse string of bits 11..0 of the word, preceded by the two start bits.
std::string pulseString(std::int32_t codeWord);

// The debug-window line of one sent frame: "0x" hex " -> " pulse string.
std::string sentFrameLine(std::int32_t codeWord, const std::string& pulse);

}  // namespace rc5
