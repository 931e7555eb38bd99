#pragma once
// telvara-send's command line: what to do, on which port, with which values.
// Everything is checked here, before any port is touched, so that a mistyped
// command line never puts anything on the wire.

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sender {

enum class SendMode { Send, Print, List, Bootloader, Monitor, LircdConf, UdevRule, Help, Version };

struct SendOptions {
    SendMode mode = SendMode::Send;
    bool longList = false;  // --list --long
    std::optional<std::string> port;
    std::optional<int> waitSeconds;  // for the port to appear
    std::optional<int> holdMs;       // a held key: repeat each frame for this long
    std::optional<int> repeats;      // or this many times after the first
    int device = 0;
    std::optional<int> toggle;
    std::vector<int> commands;
};

// nullopt with `error` set for a command line that cannot be used.
std::optional<SendOptions> parseSendOptions(std::span<const std::string> args, std::string& error);

std::string sendHelpText();

}  // namespace sender
