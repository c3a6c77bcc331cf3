#include "shell_execute.h"

#include <utility>

namespace win {
namespace {

ShellExecuteHandler& Handler() {
    static ShellExecuteHandler handler;
    return handler;
}

} // namespace

ShellExecuteHandler SetShellExecuteHandler(ShellExecuteHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

std::intptr_t ShellExecuteA(HWND window, const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory, int show) {
    constexpr std::intptr_t kFileNotFound = 2;
    if (!Handler())
        return kFileNotFound;
    return Handler()(ShellExecuteRequest{window, operation, file, parameters, directory, show});
}

HWND GetDesktopWindow() {
    return 0x10010;
}

} // namespace win
