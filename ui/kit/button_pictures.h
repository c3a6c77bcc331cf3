#pragma once

#include <QIcon>
#include <QString>

class PictureButton;
class TabStrip;

// The pictures of the main window's buttons and tabs, read from the icons folder of the
// program. A picture that is missing is not reported: its control then looks plain.

// "Icons" in the program's folder.
QString ProgramIconsFolder();

// The icon `name` of `folder`: "name.png", with "name@2x.png" for screens of double density
// when it is there. Null when "name.png" cannot be read.
QIcon ProgramIcon(const QString& folder, const QString& name);

// "Ordner laden": Load, or LoadDisabled while disabled (Load when that is missing), 48 pixels.
void SetupLoadButton(PictureButton* button, const QString& folder = ProgramIconsFolder());
// "Abbrechen": Abort, enabled or not, 32 pixels.
void SetupAbortButton(PictureButton* button, const QString& folder = ProgramIconsFolder());
// "Synchronisieren": Sync, or SyncDisabled while disabled (Sync when that is missing), 48.
void SetupSyncButton(PictureButton* button, const QString& folder = ProgramIconsFolder());
// The list tabs: File and Delete on the current tab, FileDisabled and DeleteDisabled on the
// other, 16 pixels.
void SetupTabIcons(TabStrip* strip, const QString& folder = ProgramIconsFolder());
