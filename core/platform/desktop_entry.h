#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A desktop entry file that starts a program with fixed arguments, as the desktop's
// launcher reads it: a shortcut on the desktop or in a folder.
struct DesktopShortcut {
    std::string name;                   // "Name=": what the desktop shows
    std::string program;                // the absolute path of the program
    std::vector<std::string> arguments; // each handed to the program unchanged
    std::string workingDirectory;       // "Path="; empty: none
    std::string icon;                   // "Icon="; empty: none
    std::string comment;                // "Comment=", the tooltip; empty: none
};

// One argument of an "Exec=" line: quoted when it holds anything the launcher would read
// as syntax, with '"', '`', '$' and '\' escaped inside the quotes, '%' doubled, and then the
// escapes every text value of the file has (a backslash doubled, control characters as
// \n, \t, \r).
std::string ExecArgument(std::string_view argument);

// Whether `text` holds a control character that has no escape in the file and may not stand
// in it raw: any below 0x20 other than line break, tab and return, and 0x7f.
bool HoldsBareControlCharacter(std::string_view text);

// The file's whole text, ending in a line break. Such control characters become blanks in the
// name and the comment, which are only read by people; in the program, an argument, the
// working directory or the icon a changed byte would name another file, so there is no text.
std::optional<std::string> DesktopEntryText(const DesktopShortcut& shortcut);
