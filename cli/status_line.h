#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

// One line of progress on a terminal, drawn again in place with "\r", at most every 100 ms
// and cut to the terminal's width, as a line that wraps could not be drawn again. The last
// state is always shown.
class StatusLine {
public:
    explicit StatusLine(std::FILE* out);

    // Whether a text shown now would be drawn; callers make their text only then.
    bool due() const;
    void show(const std::string& text);
    // Shows the last state unless it is already there, and ends the line, so that other
    // output can follow; an empty text wipes the line instead.
    void end(const std::string& text);

private:
    void draw(const std::string& text);

    std::FILE* out_;
    std::chrono::steady_clock::time_point last_{};
    std::string shown_;          // the text last drawn or written
    std::size_t drawnWidth_ = 0; // columns of the line now on the terminal; 0 when ended
};

// `text` cut to `columns` characters (not bytes), with "…" at the end when it was longer.
std::string FitToColumns(const std::string& text, std::size_t columns);
