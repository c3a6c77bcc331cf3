#pragma once

#include <QIcon>
#include <QString>

class PictureBox;

// The desktop's icon for a file (32 pixels when large, else 16); a generic file icon when
// the desktop has none.
QIcon GetFileIcon(const QString& path, bool large);
// Clears the box and draws the file's large icon into its top-left corner.
void ShowFileIcon(PictureBox* box, const QString& path);
