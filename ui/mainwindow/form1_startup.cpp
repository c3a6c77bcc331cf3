// The main window's start-up and shutdown: what it restores and what it keeps for next time.
#include "form1.h"

#include "geometry/startup_geometry.h"
#include "kit/activity_strip.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/twips.h"
#include "kit/window_font.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>

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

} // namespace

QSize Form1::designedWindowSize() const {
    return {TwipsToPixels(kDesignedScaleWidth),
            TwipsToPixels(kDesignedScaleHeight) + menuBar()->sizeHint().height()};
}

double Form1::ScaleWidth() const {
    return PixelsToTwips(width());
}

double Form1::ScaleHeight() const {
    return PixelsToTwips(height() - menuBar()->sizeHint().height());
}

void Form1::Form_Load() {
    ApplyTahomaFont(this);
    const bool firstStart = isFirstStart(); // before any read creates the root key
    Reg_ = std::make_unique<clsRegistry>();

    PlaceInStatusPanel(Picture1, StatusBar1, 2);
    PlaceInStatusPanel(ProgressBar1, StatusBar1, 2);

    if (firstStart)
        storeStarterRules();
    const AppSettings settings = AppSettings::Load(*Reg_);
    Regeln_Laden(settings.lastRule);

    Text1->setText(FromUtf8(settings.lastStartDir));
    Text2->setText(FromUtf8(settings.lastDestinationDir));

    NoBackGround = settings.noBackground;
    Stretch = settings.backgroundResize;
    BackGroundSoft = settings.backgroundSoft;
    SoftWidth = settings.softWidth;
    if (SoftWidth < 10 || SoftWidth > 150)
        SoftWidth = 20;

    applyStoredGeometry(settings.left, settings.top, settings.width, settings.height);
    loadBackground(settings.background);
}

void Form1::applyStoredGeometry(int left, int top, int width, int height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    auto twips = [](int pixels) { return static_cast<int>(std::lround(PixelsToTwips(pixels))); };
    const QSize designed = designedWindowSize();
    const WindowPlacement p = ComputeStartupPlacement(
        left, top, width, height, twips(designed.width()), twips(designed.height()),
        {twips(screenRect.x()), twips(screenRect.y()), twips(screenRect.width()),
         twips(screenRect.height())});
    QRect r(TwipsToPixels(p.left), TwipsToPixels(p.top), qMax(1, TwipsToPixels(p.width)),
            qMax(1, TwipsToPixels(p.height)));
    if (!IsOnSomeScreen(r)) {
        r.setSize(r.size().boundedTo(screenRect.size()));
        r.moveCenter(screenRect.center());
    }
    resize(r.size());
    move(r.topLeft());
}

void Form1::loadBackground(const std::string& picturePath) {
    if (!NoBackGround) {
        BackgroundShown = true;
        Picture5->raise();
        const QString path = FromUtf8(picturePath);
        QImage picture; // a missing or unreadable picture leaves the panel empty
        if (!path.trimmed().isEmpty())
            picture.load(path);
        if (Stretch)
            PicBuf->setPicture(picture);
        else
            Picture5->setPicture(picture);
    } else {
        Picture2->show();
        Picture2->raise();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // A load is stopped, a run ends after the file being copied; then the window closes.
    if (busy_) {
        closeWhenIdle_ = true;
        session_.AbortRequested = true;
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
    state.lastStartDir = ToUtf8(Text1->text());
    state.lastDestinationDir = ToUtf8(Text2->text());
    state.syncMode = Combo1->currentIndex();
    auto twips = [](int pixels) {
        return static_cast<std::int32_t>(std::lround(PixelsToTwips(pixels)));
    };
    state.left = twips(x());
    state.top = twips(y());
    state.width = twips(width());
    state.height = twips(height());
    state.SaveWindowState(*Reg_, !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized |
                                                    Qt::WindowFullScreen)));
}
