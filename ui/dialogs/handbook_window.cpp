#include "handbook_window.h"

#include "kit/twips.h"
#include "kit/window_placement.h"
#include "platform/shell_execute.h"
#include "platform/system_info.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr const char* kObjectName = "HandbookWindow";

// About a hundred letters across and forty lines down, within the screen the owner is on.
QSize DefaultSize(const QWidget* owner) {
    const QSize designed(TwipsToPixelsX(9600), TwipsToPixelsY(8400));
    const QScreen* screen = owner->screen();
    if (screen == nullptr)
        return designed;
    return designed.boundedTo(screen->availableGeometry().size() * 9 / 10);
}

} // namespace

QString HandbookWindow::InstalledFile() {
    return QString::fromStdString(platform::ProgramFolder()) + "/handbook/handbuch.html";
}

bool HandbookWindow::Show(QWidget* owner, const QString& file) {
    auto* window = owner->findChild<HandbookWindow*>(kObjectName, Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable())
            return false;
        window = new HandbookWindow(owner, info.absoluteFilePath());
        PlaceCentredOver(window, owner);
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

HandbookWindow::HandbookWindow(QWidget* owner, const QString& file)
    : QWidget(owner, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(kObjectName);
    setWindowTitle("Gleichwart – Hilfe");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_->setObjectName("Handbook");
    // Every link passes through followLink: an address outside the handbook must not be
    // loaded into it.
    browser_->setOpenLinks(false);
    browser_->setSource(QUrl::fromLocalFile(file));
    // Room between the frame and the text, as in a dialog.
    browser_->document()->setDocumentMargin(TwipsToPixelsY(180));
    connect(browser_, &QTextBrowser::anchorClicked, this, &HandbookWindow::followLink);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(DefaultSize(owner));
}

// Esc closes the window, as it closes the program's dialogs; the page passes it on.
void HandbookWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void HandbookWindow::followLink(const QUrl& link) {
    const QUrl target = browser_->source().resolved(link);
    if (target.isLocalFile()) {
        browser_->setSource(target); // within the handbook: scrolls to the anchor
        return;
    }
    win::ShellExecuteA(win::GetDesktopWindow(), "open",
                       target.toString(QUrl::FullyEncoded).toStdString(), "", "",
                       win::SW_SHOWNORMAL);
}
