#pragma once

#include <functional>

// Lets the user interface run its pending events every tenth call, counted across all
// callers (both scans and the comparison continue one count).
void MaybeDoEvents();

// The pump that runs pending events; the desktop front end installs its event loop's.
void SetEventPump(std::function<void()> pump);

// The shared counter, for tests.
int MaybeDoEventsCounter();
void ResetMaybeDoEventsCounter();
