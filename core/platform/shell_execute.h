#pragma once

#include "win32_types.h"

#include <functional>
#include <string>

namespace win {

inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMAXIMIZED = 3;

struct ShellExecuteRequest {
    HWND window = 0;
    std::string operation; // "open", "Open", "edit", …
    std::string file;      // a path, a web address or a mailto address
    std::string parameters;
    std::string directory;
    int show = SW_SHOWNORMAL;
};

// Returns what ShellExecuteA returns: a value above 32 on success, 2 when nothing could open it.
using ShellExecuteHandler = std::function<std::intptr_t(const ShellExecuteRequest&)>;

// The desktop front end installs the handler that really opens things; tests install a
// recorder, so no test ever starts a browser. Returns the handler it replaced.
ShellExecuteHandler SetShellExecuteHandler(ShellExecuteHandler handler);

std::intptr_t ShellExecuteA(HWND window, const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory, int show);

// The desktop window; ShellExecuteA is asked to open things in front of it.
HWND GetDesktopWindow();

} // namespace win
