#pragma once

#include <QString>

// The path of a well-known folder by its number: 0 the temporary folder, 16 the desktop,
// 39 the pictures folder (the desktop's user folders). Empty text for any other number, and
// when the folder is not there: callers then start without a folder of their own.
QString SpecialFolderPath(int number);

// The temporary folder ($TMPDIR, else /tmp) without a trailing "/".
QString TempFolderPath();
