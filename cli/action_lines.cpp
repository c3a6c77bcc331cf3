#include "action_lines.h"

void PrintActionLine(std::FILE* out, char mark, std::string_view folder, std::string_view name,
                     bool nullEnds, std::string_view reason) {
    std::fputc(mark, out);
    std::fputc(' ', out);
    std::fwrite(folder.data(), 1, folder.size(), out);
    std::fwrite(name.data(), 1, name.size(), out);
    if (!reason.empty()) {
        if (nullEnds)
            std::fputc('\0', out);
        else
            std::fputs(": ", out);
        std::fwrite(reason.data(), 1, reason.size(), out);
    }
    std::fputc(nullEnds ? '\0' : '\n', out);
}
