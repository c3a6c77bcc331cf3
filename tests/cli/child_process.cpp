#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const ChildOptions& options) {
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if (options.terminal) {
        out[0] = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (out[0] < 0 || ::grantpt(out[0]) != 0 || ::unlockpt(out[0]) != 0)
            throw std::runtime_error("no pseudo terminal");
    } else if (::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    if (::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const std::string terminalName = options.terminal ? ::ptsname(out[0]) : "";
    std::vector<char*> argv{const_cast<char*>(GLEICHWART_SYNC_PROGRAM)};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (options.terminal)
            ::setsid(); // the terminal becomes the program's own, as in a terminal window
        const int output = options.terminal ? ::open(terminalName.c_str(), O_RDWR) : out[1];
        const int in = options.terminal ? output : ::open("/dev/null", O_RDONLY);
        if (in < 0 || output < 0 || ::dup2(in, 0) < 0 || ::dup2(output, 1) < 0 ||
            ::dup2(err[1], 2) < 0)
            ::_exit(97);
        ::execv(argv[0], argv.data());
        ::_exit(98);
    }
    fds_[0] = out[0];
    fds_[1] = err[0];
    if (out[1] >= 0)
        ::close(out[1]);
    ::close(err[1]);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void ChildProcess::readAvailable(int timeoutMs) {
    pollfd polled[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
    if (::poll(polled, 2, timeoutMs) <= 0)
        return;
    for (int k = 0; k < 2; ++k) {
        if (polled[k].revents == 0 || fds_[k] < 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(fds_[k], buffer, sizeof buffer);
        if (n > 0) {
            (k == 0 ? result_.out : result_.err).append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            // The end of a pipe; a terminal whose program has gone reads as an error (EIO).
            ::close(fds_[k]);
            fds_[k] = -1;
        }
    }
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (result_.out.find(text) == std::string::npos &&
           result_.err.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > end || (fds_[0] < 0 && fds_[1] < 0))
            return false;
        readAvailable(20);
    }
    return true;
}

void ChildProcess::type(const std::string& input) {
    if (::write(fds_[0], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        throw std::runtime_error("cannot type on the terminal");
}

ChildResult ChildProcess::finish() {
    while (fds_[0] >= 0 || fds_[1] >= 0)
        readAvailable(1000);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    result_.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result_;
}

ChildResult RunSync(const std::vector<std::string>& arguments, const ChildOptions& options) {
    return ChildProcess(arguments, options).finish();
}
