#pragma once

struct SyncOptions;

// gleichwart-sync --rueckgaengig: puts both trees back as they were before the last run, after
// one question (or --ja), or with --vorschau only tells what it would do. Returns the exit
// code.
int RunUndoCommand(const SyncOptions& options);
