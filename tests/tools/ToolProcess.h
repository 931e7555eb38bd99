#pragma once
// The two tools run as a person runs them: as processes, with their own
// environment, their output captured.

#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tooltest {

// Paths of the executables under test.
std::string simPath();
std::string sendPath();

// telvara-send with these arguments.
std::vector<std::string> sendArgs(std::initializer_list<std::string> args);

// A directory of the test's own (a toggle store, lircd's files), removed with it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

struct Finished {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Variables to set (or, with an empty value, to remove) for the child.
using Environment = std::map<std::string, std::string>;

// Runs to completion; a child still running after `limit` is killed (status -1).
Finished run(const std::vector<std::string>& argv, const Environment& env = {},
             std::chrono::milliseconds limit = std::chrono::seconds(20));

// A child left running while the test does other things.
class Background {
public:
    Background(const std::vector<std::string>& argv, const Environment& env = {});
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // Collects output until `text` has appeared on stdout or `limit` has passed.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(10));
    bool waitUntil(const std::function<bool(const std::string&)>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(10));
    const std::string& outSoFar() const { return out_; }
    pid_t pid() const { return pid_; }

    // Sends `signal`, then collects everything until the child has ended.
    Finished stop(int signal);

private:
    void collect(int timeoutMs);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// A simulator serving in the background: TELVARA_ROOT as it printed it.
class RunningSim {
public:
    explicit RunningSim(const std::vector<std::string>& options = {});
    const std::string& root() const { return root_; }
    Environment env(const Environment& more = {}) const;
    // Waits until a report containing `text` has been printed.
    bool waitForReport(const std::string& text) { return process_.waitForOutput(text); }
    // Waits until the reports printed so far satisfy `done`.
    bool waitForReports(const std::function<bool(const std::string&)>& done) { return process_.waitUntil(done); }
    const std::string& outSoFar() const { return process_.outSoFar(); }
    // Stops it and returns its report lines.
    Finished stop();

private:
    Background process_;
    std::string root_;
};

std::vector<std::string> lines(const std::string& text);

}  // namespace tooltest
