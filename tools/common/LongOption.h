#pragma once
// One long option of a command line, as both tools take them:
// "--name", "--name=value" or "--name value".

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tools {

class LongOption {
public:
    // Reads args[index]; value() may take the next word and move index past it.
    LongOption(std::span<const std::string> args, std::size_t& index) : args_(args), index_(index), name_(args[index]) {
        if (const auto equals = name_.find('='); name_.starts_with("--") && equals != std::string::npos) {
            inlineValue_ = name_.substr(equals + 1);
            name_.resize(equals);
        }
    }

    const std::string& name() const { return name_; }

    // A flag is given without "=value".
    bool isFlag(std::string_view flagName) const { return !inlineValue_ && name_ == flagName; }

    // The "=value" part or the next word; nullopt with `error` set when there is none.
    std::optional<std::string> value(std::string& error) {
        if (inlineValue_) return inlineValue_;
        if (index_ + 1 < args_.size()) return args_[++index_];
        error = name_ + kMissingValue;
        return std::nullopt;
    }

private:
    static constexpr const char* kMissingValue = " needs a value";

    std::span<const std::string> args_;
    std::size_t& index_;
    std::string name_;
    std::optional<std::string> inlineValue_;
};

}  // namespace tools
