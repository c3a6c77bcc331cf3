#pragma once

#include <string>

// Asks `question` on the terminal's error stream with " [j/N] " and reads one line from
// standard input: true only for "j" or "ja" in any case. A stop signal or the end of the
// input without an answer is a no.
bool AskYes(const std::string& question);
