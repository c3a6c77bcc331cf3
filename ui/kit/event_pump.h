#pragma once

// Lets the window repaint and answer input during long work. Work loops call it far more
// often than a screen can show anything, so it runs the event loop at most every 15 ms:
// often enough for a live window and the "Abbrechen" button, cheap on a million files.
void PumpPendingEvents();
