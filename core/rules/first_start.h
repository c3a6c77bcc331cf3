#pragma once

class clsRegistry;

// What the program stores the first time it runs for this user, whether the window or the
// terminal program runs first: the three starter rules with their options, and the program's
// own picture as the background. Nothing when any setting of the program is stored already
// (a user who deleted every rule keeps none). True when it stored them.
bool StoreFirstStartSettings(clsRegistry& registry);
