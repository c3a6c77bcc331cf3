#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Runs `body` in a child process with a tmpfs of `bytes` mounted on `dir`, in a mount
// namespace of its own so that nothing stays mounted; as a normal user through a user
// namespace. Returns the child's exit code; a body that checks with the test's assertions
// returns HasFailure(), as the parent does not see them.
int WithSmallDisk(const std::string& dir, std::size_t bytes, const std::function<int()>& body);
