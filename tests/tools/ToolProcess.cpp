#include "ToolProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <ranges>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {
namespace {

using Clock = std::chrono::steady_clock;

// The child's environment: this process's own with `env` applied, as NAME=VALUE.
std::vector<std::string> childEnvironment(const Environment& env) {
    std::map<std::string, std::string> vars;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) vars[std::string(text.substr(0, equals))] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : env) {
        if (value.empty())
            vars.erase(name);
        else
            vars[name] = value;
    }
    std::vector<std::string> block;
    for (const auto& [name, value] : vars) block.push_back(name + "=" + value);
    return block;
}

// A program named without a slash is looked up in the child's PATH, as a shell would.
std::string programPath(const std::string& name, const std::vector<std::string>& environment) {
    if (name.find('/') != std::string::npos) return name;
    std::string path = "/usr/bin:/bin";
    for (const auto& entry : environment)
        if (entry.starts_with("PATH=")) path = entry.substr(5);
    for (const auto& dir : std::views::split(path, ':')) {
        const std::string candidate = std::string(dir.begin(), dir.end()) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return name;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t spawn(const std::vector<std::string>& argv, const Environment& env, int& outFd, int& errFd) {
    // Everything the child needs is made before the fork: the tests start tools
    // from several threads, and a child that allocated (or set a variable) could
    // wait forever for a lock another thread held at the moment of the fork.
    std::vector<std::string> environment = childEnvironment(env);
    const std::string program = programPath(argv.at(0), environment);
    std::vector<std::string> args = argv;
    const std::vector<char*> argPointers = pointersTo(args);
    const std::vector<char*> envPointers = pointersTo(environment);

    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        // Only system calls from here to the exec.
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        // Its own process group, so that a signal for it reaches nobody else.
        ::setpgid(0, 0);
        ::execve(program.c_str(), argPointers.data(), envPointers.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    outFd = out[0];
    errFd = err[0];
    return pid;
}

// Reads what is there on both pipes, waiting up to timeoutMs; false once both have closed.
bool pump(int& outFd, int& errFd, std::string& out, std::string& err, int timeoutMs) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    if (outFd < 0 && errFd < 0) return false;
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready <= 0) return true;
    char buffer[4096];
    int* fdOf[2] = {&outFd, &errFd};
    std::string* textOf[2] = {&out, &err};
    for (int i = 0; i < 2; ++i) {
        if (*fdOf[i] < 0 || fds[i].revents == 0) continue;
        const ssize_t n = ::read(*fdOf[i], buffer, sizeof buffer);
        if (n > 0) {
            textOf[i]->append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(*fdOf[i]);
            *fdOf[i] = -1;
        }
    }
    return outFd >= 0 || errFd >= 0;
}

int statusOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

std::string simPath() {
    return TELVARA_SIM;
}
std::string sendPath() {
    return TELVARA_SEND;
}

std::vector<std::string> sendArgs(std::initializer_list<std::string> args) {
    std::vector<std::string> argv{sendPath()};
    argv.insert(argv.end(), args);
    return argv;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "telvara-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::filesystem::remove_all(path_);
}

Finished run(const std::vector<std::string>& argv, const Environment& env, std::chrono::milliseconds limit) {
    Finished result;
    int outFd = -1;
    int errFd = -1;
    const pid_t pid = spawn(argv, env, outFd, errFd);
    const auto deadline = Clock::now() + limit;
    bool killed = false;
    while (pump(outFd, errFd, result.out, result.err, 50)) {
        if (!killed && Clock::now() > deadline) {
            ::kill(-pid, SIGKILL);
            killed = true;
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = killed ? -1 : statusOf(status);
    return result;
}

Background::Background(const std::vector<std::string>& argv, const Environment& env) {
    pid_ = spawn(argv, env, outFd_, errFd_);
}

Background::~Background() {
    // SIGTERM lets a simulator left running by a failed test remove its device tree.
    if (pid_ > 0) stop(SIGTERM);
}

void Background::collect(int timeoutMs) {
    pump(outFd_, errFd_, out_, err_, timeoutMs);
}

bool Background::waitForOutput(const std::string& text, std::chrono::milliseconds limit) {
    return waitUntil([&](const std::string& out) { return out.find(text) != std::string::npos; }, limit);
}

bool Background::waitUntil(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done(out_)) {
        if (Clock::now() > deadline || (outFd_ < 0 && errFd_ < 0)) return false;
        collect(50);
    }
    return true;
}

Finished Background::stop(int signal) {
    Finished result;
    if (pid_ <= 0) return result;
    ::kill(pid_, signal);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (pump(outFd_, errFd_, out_, err_, 50)) {
        if (Clock::now() > deadline) ::kill(-pid_, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    result.status = statusOf(status);
    result.out = out_;
    result.err = err_;
    return result;
}

RunningSim::RunningSim(const std::vector<std::string>& options)
    : process_([&] {
          std::vector<std::string> argv{simPath()};
          argv.insert(argv.end(), options.begin(), options.end());
          return argv;
      }()) {
    static const std::string kExport = "export TELVARA_ROOT=";
    if (!process_.waitForOutput("\n")) throw std::runtime_error("the simulator did not start");
    const std::string& out = process_.outSoFar();
    const auto start = out.find(kExport);
    if (start == std::string::npos) throw std::runtime_error("the simulator printed no TELVARA_ROOT: " + out);
    root_ = out.substr(start + kExport.size(), out.find('\n', start) - start - kExport.size());
}

Environment RunningSim::env(const Environment& more) const {
    Environment env = more;
    env["TELVARA_ROOT"] = root_;
    return env;
}

Finished RunningSim::stop() {
    return process_.stop(SIGINT);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            result.push_back(text.substr(start));
            break;
        }
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

}  // namespace tooltest
