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

// Where the program keeps its own files (Icons/ and the pictures beside it):
// ProgramFolderFor(ExecutableFolder()).
std::string ProgramFolder();

// The program's own files seen from the folder of its executable: that folder itself when it
// holds "Icons" (a build folder); else the share folder that an installation puts beside the
// executable's bin folder, when it holds "Icons", so that a tree installed under any prefix,
// or moved after installing, finds its files; else InstalledProgramFolder().
std::string ProgramFolderFor(const std::string& executableFolder);

// The share folder of the prefix the program was built for.
std::string InstalledProgramFolder();

// How many files the process may hold open. The first call raises the soft limit to the hard
// one (the program waits with poll, never select, so any number of descriptors is fine).
std::size_t OpenFilesAllowed();

} // namespace platform
