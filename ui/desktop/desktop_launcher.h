#pragma once

// Lets ShellExecuteA open files, web addresses and mail addresses with the desktop's
// default applications.
void InstallDesktopLauncher();
