#include "button_pictures.h"

#include "picture_button.h"
#include "platform/system_info.h"
#include "tab_strip.h"

#include <QPixmap>

namespace {

void SetupBigButton(PictureButton* button, const QString& folder, const QString& name) {
    const QIcon enabled = ProgramIcon(folder, name);
    // A missing disabled picture leaves the enabled one in its place, not a greyed copy.
    const QIcon disabled = ProgramIcon(folder, name + "Disabled");
    button->setPicture(enabled, disabled, 48, {7, 4});
}

} // namespace

QString ProgramIconsFolder() {
    return QString::fromStdString(platform::ProgramFolder()) + "/Icons";
}

QIcon ProgramIcon(const QString& folder, const QString& name) {
    const QString base = folder + "/" + name;
    const QPixmap single(base + ".png");
    if (single.isNull())
        return {};
    QIcon icon(single);
    QPixmap dense(base + "@2x.png");
    if (!dense.isNull()) {
        dense.setDevicePixelRatio(2);
        icon.addPixmap(dense);
    }
    return icon;
}

void SetupLoadButton(PictureButton* button, const QString& folder) {
    SetupBigButton(button, folder, "Load");
}

void SetupAbortButton(PictureButton* button, const QString& folder) {
    button->setPicture(ProgramIcon(folder, "Abort"), QIcon(), 32, {7, 1});
}

void SetupSyncButton(PictureButton* button, const QString& folder) {
    SetupBigButton(button, folder, "Sync");
}

void SetupTabIcons(TabStrip* strip, const QString& folder) {
    strip->setTabPictures(0, ProgramIcon(folder, "File"), ProgramIcon(folder, "FileDisabled"));
    strip->setTabPictures(1, ProgramIcon(folder, "Delete"), ProgramIcon(folder, "DeleteDisabled"));
}
