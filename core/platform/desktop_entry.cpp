#include "desktop_entry.h"

namespace {

// The characters after which the launcher would not read an argument as plain text.
bool NeedsQuotes(std::string_view argument) {
    if (argument.empty())
        return true;
    for (const char c : argument) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view(" \"'\\><~|&;$*?#()`=").find(c) != std::string_view::npos)
            return true;
    }
    return false;
}

// The escapes of a text value, applied to what the quoting made.
std::string EscapeValue(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool IsBareControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\n' && c != '\t' && c != '\r') || u == 0x7f;
}

// The name and the comment with such control characters as blanks.
std::string Readable(std::string text) {
    for (char& c : text)
        if (IsBareControl(c))
            c = ' ';
    return text;
}

// A single-line text value such as the name: also a leading blank would be lost.
std::string TextValue(std::string_view text) {
    std::string out = EscapeValue(text);
    if (!out.empty() && out.front() == ' ')
        out.replace(0, 1, "\\s");
    return out;
}

} // namespace

std::string ExecArgument(std::string_view argument) {
    std::string quoted;
    quoted.reserve(argument.size() + 4);
    const bool quote = NeedsQuotes(argument);
    if (quote)
        quoted += '"';
    for (const char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            quoted += '\\';
        if (c == '%')
            quoted += '%'; // a field code otherwise
        quoted += c;
    }
    if (quote)
        quoted += '"';
    return EscapeValue(quoted);
}

bool HoldsBareControlCharacter(std::string_view text) {
    for (const char c : text)
        if (IsBareControl(c))
            return true;
    return false;
}

std::optional<std::string> DesktopEntryText(const DesktopShortcut& s) {
    bool pathsFit = !HoldsBareControlCharacter(s.program) &&
                    !HoldsBareControlCharacter(s.workingDirectory) &&
                    !HoldsBareControlCharacter(s.icon);
    for (const std::string& argument : s.arguments)
        pathsFit = pathsFit && !HoldsBareControlCharacter(argument);
    if (!pathsFit)
        return std::nullopt;
    std::string exec = ExecArgument(s.program);
    for (const std::string& argument : s.arguments)
        exec += ' ' + ExecArgument(argument);
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n"
                       "Name=" +
                       TextValue(Readable(s.name)) + "\nExec=" + exec + "\n";
    if (!s.workingDirectory.empty())
        text += "Path=" + TextValue(s.workingDirectory) + "\n";
    if (!s.icon.empty())
        text += "Icon=" + TextValue(s.icon) + "\n";
    if (!s.comment.empty())
        text += "Comment=" + TextValue(Readable(s.comment)) + "\n";
    text += "Terminal=false\n";
    return text;
}
