#pragma once

class QApplication;

// Everything the program sets up before its first window: names, icon, German standard
// dialogs and the desktop launcher. Fonts are the desktop's.
void SetUpApplication(QApplication& app);
