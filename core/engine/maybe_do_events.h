#pragma once

#include <functional>

// Lets the user interface run its pending events every tenth call, counted across all
// callers (both scans and the comparison continue one count).
void MaybeDoEvents();

// The pump that runs pending events; the desktop front end installs its event loop's.
void SetEventPump(std::function<void()> pump);
// Runs the pump now, without counting.
void DoEventsNow();
// Marks the calling thread as a worker: its MaybeDoEvents calls do nothing, as only the
// thread of the user interface may run its events.
void MarkAsWorkerThread();

// The shared counter, for tests.
int MaybeDoEventsCounter();
void ResetMaybeDoEventsCounter();
