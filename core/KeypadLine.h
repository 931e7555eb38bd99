#pragma once
// The line settings of the keypad traffic: pulse strings go out at 2400 baud 8O1.

inline constexpr int kKeypadBaudRate = 2400;
inline constexpr const char* kKeypadLineFormat = "8O1";
