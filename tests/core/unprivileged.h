#pragma once

#include <functional>

// Runs `body` as an unprivileged user (in a child process) when the test runs as root, so
// that permission checks hold; returns what the body returned. A body that checks with the
// test's assertions returns HasFailure(), as the parent does not see them.
int AsUnprivileged(const std::function<int()>& body);
