#pragma once

#include <cstdint>
#include <string>

namespace win {

// Milliseconds since an arbitrary start, 32 bits wide and wrapping like the Windows tick count.
std::uint32_t GetTickCount();

// $TMPDIR, else /tmp, always with a trailing "/".
std::string GetTempPathA();

} // namespace win

namespace platform {

// The folder of the running executable, without a trailing "/".
std::string ExecutableFolder();

// Where the program keeps its own files (Icons/): the executable's folder when it holds
// "Icons", else the shared folder of the installed program.
std::string ProgramFolder();

} // namespace platform
