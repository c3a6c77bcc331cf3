#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// How the program under test is started.
struct ChildOptions {
    // Standard input and output on a pseudo terminal, as when typed in a terminal window;
    // otherwise input is /dev/null and output a pipe, as under a timer.
    bool terminal = false;
};

struct ChildResult {
    int exitCode = -1; // -1 when the program was killed
    std::string out;   // standard output (the terminal's output with `terminal`)
    std::string err;
};

// The program gleichwart-sync as a process of its own, with the test's environment.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments,
                          const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Reads the output until `text` is in it (standard output or error); false on timeout.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    // Types `input` on the terminal.
    void type(const std::string& input);
    // Reads all output and waits for the end of the process.
    ChildResult finish();

private:
    void readAvailable(int timeoutMs);

    pid_t pid_ = -1;
    int fds_[2] = {-1, -1}; // output (the pipe, or the terminal's master side) and error
    ChildResult result_;
};

// Runs the program to its end.
ChildResult RunSync(const std::vector<std::string>& arguments, const ChildOptions& options = {});
