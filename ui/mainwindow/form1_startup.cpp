// The main window's start-up and shutdown: what it restores and what it keeps for next time.
#include "form1.h"

#include "background_panel.h"
#include "file_lists_panel.h"
#include "input_panel.h"
#include "kit/button_pictures.h"
#include "kit/status_bar.h"
#include "kit/text_bytes.h"
#include "kit/twips.h"
#include "kit/window_placement.h"
#include "rules/first_start.h"
#include "rules/rule_store.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "sync_presenter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

#include <cmath>

namespace {

// The stored geometry is in the same units as the layout.
std::int32_t WholeTwips(double twips) {
    return static_cast<std::int32_t>(std::lround(twips));
}

} // namespace

void Form1::Form_Load() {
    registry_ = std::make_unique<clsRegistry>();
    StoreFirstStartSettings(*registry_);
    const AppSettings settings = AppSettings::Load(*registry_);
    Regeln_Laden(settings.lastRule);

    inputPanel_->startPathBox()->setText(Text(settings.lastStartDir));
    inputPanel_->targetPathBox()->setText(Text(settings.lastDestinationDir));

    const QRect placed = StartupWindowRect(settings.left, settings.top, settings.width,
                                           settings.height, designedWindowSize());
    resize(placed.size());
    move(placed.topLeft());
    inputPanel_->showPictures(ProgramIconsFolder());
    fileListsPanel_->showPictures(ProgramIconsFolder());
    if (!backgroundPanel_->load(settings)) {
        fileListsPanel_->show();
        fileListsPanel_->raise();
    }
    updateUndoItem();
    // The command line is read once the window is up and showing.
    QTimer::singleShot(500, this, &Form1::Timer2_Timer);
}

void Form1::closeEvent(QCloseEvent* event) {
    // A load is stopped, a run ends after the file being copied; then the window closes.
    if (presenter_->busy()) {
        presenter_->closeWhenIdle();
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    session_.AbortRequested = true;
    QCoreApplication::processEvents();

    CloseOpenWindows({"Form2", "Form3", "Form4", "HandbookWindow"});

    AppSettings state;
    state.lastRule = chosenRuleName();
    state.lastStartDir = Bytes(inputPanel_->startPathBox()->text());
    state.lastDestinationDir = Bytes(inputPanel_->targetPathBox()->text());
    state.syncMode = inputPanel_->ruleList()->currentIndex();
    state.left = WholeTwips(PixelsToTwipsX(x()));
    state.top = WholeTwips(PixelsToTwipsY(y()));
    state.width = WholeTwips(PixelsToTwipsX(width()));
    state.height = WholeTwips(PixelsToTwipsY(height()));
    state.SaveWindowState(*registry_, !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized |
                                                         Qt::WindowFullScreen)));
}
