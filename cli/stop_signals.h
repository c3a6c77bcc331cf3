#pragma once

// SIGINT and SIGTERM ask the run to stop after the file being copied; a second signal
// changes nothing. Interrupted system calls are restarted, so a copy is never cut off by one.
void InstallStopSignals();

// True once SIGINT or SIGTERM arrived.
bool StopSignalled();
