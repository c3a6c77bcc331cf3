// The main window's start-up and shutdown: what it restores and what it keeps for next time.
#include "form1.h"

#include "background_panel.h"
#include "file_lists_panel.h"
#include "geometry/startup_geometry.h"
#include "input_panel.h"
#include "kit/activity_strip.h"
#include "kit/button_pictures.h"
#include "kit/status_bar.h"
#include "kit/tab_strip.h"
#include "kit/twips.h"
#include "kit/window_font.h"
#include "platform/system_info.h"
#include "rules/rule_store.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "sync_presenter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

QString FromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
std::string ToUtf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// A window counts as reachable when a good piece of it lies on some screen.
bool IsOnSomeScreen(const QRect& window) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(window);
        if (common.width() >= qMin(100, window.width()) &&
            common.height() >= qMin(40, window.height()))
            return true;
    }
    return false;
}

std::int32_t PixelsAsTwips(int pixels) {
    return static_cast<std::int32_t>(std::lround(PixelsToTwips(pixels)));
}

} // namespace

void Form1::Form_Load() {
    ApplyTahomaFont(this);
    const bool firstStart = RuleStore::IsFirstStart(); // before any read creates the key
    registry_ = std::make_unique<clsRegistry>();

    PlaceInStatusPanel(activityStrip_, statusBar_, 2);
    PlaceInStatusPanel(loadingBar_, statusBar_, 2);

    if (firstStart) {
        RuleStore(*registry_).StoreStarterRules();
        AppSettings::StoreStarterBackground(*registry_,
                                            platform::ProgramFolder() + "/Icons/Background.png");
    }
    const AppSettings settings = AppSettings::Load(*registry_);
    Regeln_Laden(settings.lastRule);

    inputPanel_->startPathBox()->setText(FromUtf8(settings.lastStartDir));
    inputPanel_->targetPathBox()->setText(FromUtf8(settings.lastDestinationDir));

    applyStoredGeometry(settings.left, settings.top, settings.width, settings.height);
    setUpButtonPictures();
    if (!backgroundPanel_->load(settings)) {
        fileListsPanel_->show();
        fileListsPanel_->raise();
    }
    // The command line is read once the window is up and showing.
    QTimer::singleShot(500, this, &Form1::Timer2_Timer);
}

void Form1::setUpButtonPictures() {
    const QString icons = ProgramIconsFolder();
    SetupTabIcons(findChild<TabStrip*>("TabStrip1"), icons);
    SetupLoadButton(inputPanel_->loadButton(), icons);
    SetupAbortButton(inputPanel_->abortButton(), icons);
    SetupSyncButton(inputPanel_->syncButton(), icons);
}

void Form1::applyStoredGeometry(int left, int top, int width, int height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize designed = designedWindowSize();
    const WindowPlacement p = ComputeStartupPlacement(
        left, top, width, height, PixelsAsTwips(designed.width()), PixelsAsTwips(designed.height()),
        {PixelsAsTwips(screenRect.x()), PixelsAsTwips(screenRect.y()),
         PixelsAsTwips(screenRect.width()), PixelsAsTwips(screenRect.height())});
    QRect r(TwipsToPixels(p.left), TwipsToPixels(p.top), qMax(1, TwipsToPixels(p.width)),
            qMax(1, TwipsToPixels(p.height)));
    if (!IsOnSomeScreen(r)) {
        r.setSize(r.size().boundedTo(screenRect.size()));
        r.moveCenter(screenRect.center());
    }
    resize(r.size());
    move(r.topLeft());
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

    for (const char* name : {"Form2", "Form3", "Form4"}) {
        if (!IsFormLoaded(name))
            continue;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
                w->close();
    }

    AppSettings state;
    state.lastRule = chosenRuleName();
    state.lastStartDir = ToUtf8(inputPanel_->startPathBox()->text());
    state.lastDestinationDir = ToUtf8(inputPanel_->targetPathBox()->text());
    state.syncMode = inputPanel_->ruleList()->currentIndex();
    state.left = PixelsAsTwips(x());
    state.top = PixelsAsTwips(y());
    state.width = PixelsAsTwips(width());
    state.height = PixelsAsTwips(height());
    state.SaveWindowState(*registry_, !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized |
                                                         Qt::WindowFullScreen)));
}
