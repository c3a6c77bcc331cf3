#pragma once

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

// The file's whole text, ending in a line break.
std::string DesktopEntryText(const DesktopShortcut& shortcut);
