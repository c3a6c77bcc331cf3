#include "terminal_question.h"

#include "stop_signals.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

// One line from standard input; false when a stop signal came first or the input ended
// without an answer. Polled, so that Strg+C is seen while waiting.
bool ReadLine(std::string& answer) {
    for (;;) {
        if (StopSignalled())
            return false;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !answer.empty();
        if (c == '\n')
            return true;
        answer += c;
    }
}

} // namespace

bool AskYes(const std::string& question) {
    std::fprintf(stderr, "%s [j/N] ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    const bool got = ReadLine(answer);
    if (!got || StopSignalled())
        std::fputc('\n', stderr);
    std::string word;
    for (const char c : answer)
        if (c != ' ' && c != '\t' && c != '\r')
            word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return got && (word == "j" || word == "ja");
}
