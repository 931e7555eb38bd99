#pragma once
// The simulator's command line.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/sim/AnswerMode.h"

namespace sim {

struct SimOptions {
    AnswerMode mode = AnswerMode::Normal;
    std::optional<AnswerMode> upgradeMode;
    bool timeline = false;
    std::optional<std::vector<std::uint8_t>> say;  // once, when the program has set up the port
    std::optional<std::vector<std::uint8_t>> ack;  // after every valid frame
    std::string ttyName = "ttyACM0";
    std::vector<std::string> command;  // run with the simulated device, then end
    bool help = false;
    bool version = false;
};

// nullopt with `error` set for a command line that cannot be used.
std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string& error);

std::string simHelpText();

}  // namespace sim
