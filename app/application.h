#pragma once

class QApplication;

// Everything the program sets up before its first window: names, icon, German standard
// dialogs, the Tahoma face where the machine has one, and the desktop launcher.
void SetUpApplication(QApplication& app);
