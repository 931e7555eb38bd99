#pragma once
// The toggle bit that the next command on a port carries, kept between runs so
// that successive runs look like successive key presses to a receiver (two
// frames with the same toggle are one held key). One small file per port in
// the user's runtime directory: $XDG_RUNTIME_DIR/telvara, or /tmp/telvara-UID,
// made private to the user.

#include <optional>
#include <string>

namespace sender {

class ToggleStore {
public:
    // nullopt with `error` set when no private directory can be had.
    static std::optional<ToggleStore> open(std::string& error);

    // 0 when nothing (or nothing sensible) is remembered for the port, or when
    // what is there is no regular file. Never waits.
    int load(const std::string& portName) const;

    // Replaces the remembered value in one step: a reader sees the old or the new one.
    bool save(const std::string& portName, int toggle, std::string& error) const;

    const std::string& directory() const { return directory_; }

private:
    explicit ToggleStore(std::string directory) : directory_(std::move(directory)) {}
    std::string fileOf(const std::string& portName) const;

    std::string directory_;
};

}  // namespace sender
