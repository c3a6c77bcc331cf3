// The main window's start-up and shutdown: what it restores and what it keeps for next time.
#include "form1.h"

#include "geometry/startup_geometry.h"
#include "kit/activity_strip.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/twips.h"
#include "kit/window_font.h"
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

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;

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
    Regeln_Laden(Reg_->GetStringValue(HKCU, kRootKey, "LastRegel"));

    Text1->setText(FromUtf8(Reg_->GetStringValue(HKCU, kRootKey, "LastStartDir")));
    Text2->setText(FromUtf8(Reg_->GetStringValue(HKCU, kRootKey, "LastDestinationDir")));

    // Positions are read 32 bits wide: a window left on a far monitor is beyond 16 bits.
    const int left = Reg_->GetNumericValue(HKCU, kRootKey, "Left");
    const int top = Reg_->GetNumericValue(HKCU, kRootKey, "Top");
    const int width = Reg_->GetNumericValue(HKCU, kRootKey, "Width");
    const int height = Reg_->GetNumericValue(HKCU, kRootKey, "Height");

    NoBackGround = Reg_->GetNumericValue(HKCU, kRootKey, "NoBackGround") == 1;
    Stretch = Reg_->GetNumericValue(HKCU, kRootKey, "BackGroundResize") == 1;
    BackGroundSoft = Reg_->GetNumericValue(HKCU, kRootKey, "BackGroundSoft") == 1;
    SoftWidth = Reg_->GetNumericValue(HKCU, kRootKey, "SoftWidth");
    if (SoftWidth < 10 || SoftWidth > 150)
        SoftWidth = 20;

    applyStoredGeometry(left, top, width, height);
    loadBackground();
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

void Form1::loadBackground() {
    if (!NoBackGround) {
        BackgroundShown = true;
        Picture5->raise();
        const QString path = FromUtf8(Reg_->GetStringValue(HKCU, kRootKey, "BackGround"));
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

    Reg_->CreateKey(HKCU, kRootKey);
    Reg_->SetStringValue(HKCU, kRootKey, "LastRegel", chosenRuleName());
    Reg_->SetStringValue(HKCU, kRootKey, "LastStartDir", ToUtf8(Text1->text()));
    Reg_->SetStringValue(HKCU, kRootKey, "LastDestinationDir", ToUtf8(Text2->text()));
    Reg_->SetNumericValue(HKCU, kRootKey, "SyncMode", Combo1->currentIndex());
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        Reg_->SetNumericValue(HKCU, kRootKey, "Left", std::lround(PixelsToTwips(x())));
        Reg_->SetNumericValue(HKCU, kRootKey, "Top", std::lround(PixelsToTwips(y())));
        Reg_->SetNumericValue(HKCU, kRootKey, "Width", std::lround(PixelsToTwips(width())));
        Reg_->SetNumericValue(HKCU, kRootKey, "Height", std::lround(PixelsToTwips(height())));
    }
}
