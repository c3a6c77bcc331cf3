#include "status_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t Columns(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += StartsCharacter(c) ? 1 : 0;
    return n;
}

std::size_t TerminalColumns(std::FILE* out) {
    winsize size{};
    if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col;
    return 80;
}

} // namespace

std::string FitToColumns(const std::string& text, std::size_t columns) {
    if (Columns(text) <= columns)
        return text;
    if (columns == 0)
        return {};
    std::size_t kept = 0, end = 0;
    for (; end < text.size(); ++end) {
        if (StartsCharacter(text[end]) && kept++ == columns - 1)
            break;
    }
    return text.substr(0, end) + "…";
}

StatusLine::StatusLine(std::FILE* out) : out_(out), last_(std::chrono::steady_clock::now()) {}

bool StatusLine::due() const {
    return std::chrono::steady_clock::now() - last_ >= std::chrono::milliseconds(100);
}

void StatusLine::show(const std::string& text) {
    draw(text);
    last_ = std::chrono::steady_clock::now();
}

void StatusLine::end(const std::string& text) {
    if (text.empty()) {
        // Nothing to keep: the line on the terminal is wiped.
        if (drawnWidth_ > 0) {
            std::fprintf(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
            std::fflush(out_);
        }
        drawnWidth_ = 0;
        shown_.clear();
        return;
    }
    if (text != shown_ || drawnWidth_ == 0)
        draw(text);
    if (drawnWidth_ > 0) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    drawnWidth_ = 0;
    shown_.clear();
}

void StatusLine::draw(const std::string& text) {
    shown_ = text;
    // The last column stays free: a line that fills it wraps on some terminals.
    const std::string line = FitToColumns(text, TerminalColumns(out_) - 1);
    const std::size_t width = Columns(line);
    std::string padding(drawnWidth_ > width ? drawnWidth_ - width : 0, ' ');
    std::fprintf(out_, "\r%s%s", line.c_str(), padding.c_str());
    if (!padding.empty())
        std::fprintf(out_, "\r%s", line.c_str());
    std::fflush(out_);
    drawnWidth_ = width == 0 ? 1 : width;
}
