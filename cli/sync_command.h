#pragma once

struct SyncOptions;

// Loads the folders the command line names under its rule and synchronises them, or with
// --vorschau only lists what would happen. Returns the exit code.
int RunSyncCommand(const SyncOptions& options);
