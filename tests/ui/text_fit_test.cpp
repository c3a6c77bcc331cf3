// Every window and message box the program shows, laid out with fonts a Debian desktop
// ships: no text cut, nothing reaching out of its parent, no two controls partly on top of
// each other. The device pixel ratio comes from the environment: ctest runs this program
// at 1 and at 2.
#include "ui_test_support.h"

#include "desktop/desktop_shell.h"
#include "desktop/file_properties.h"
#include "desktop/rename_dialog.h"
#include "dialogs/about_window.h"
#include "dialogs/copy_errors_window.h"
#include "dialogs/folder_browser.h"
#include "dialogs/rule_editor.h"
#include "dialogs/settings_window.h"
#include "engine/failed_item.h"
#include "kit/controls.h"
#include "kit/error_message.h"
#include "kit/text_fit.h"
#include "kit/twips.h"
#include "mainwindow/failure_display.h"
#include "mainwindow/shortcut_offer.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QDebug>
#include <QDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>

namespace {

struct Face {
    const char* family;
    int points;
};
// The stock font at its usual size, another family, and a large size.
constexpr Face kFaces[] = {{"DejaVu Sans", 9}, {"Liberation Sans", 10}, {"DejaVu Sans", 12}};

// A folder and a file name longer than any window is wide.
const std::string kLongFolder = "start/Projektunterlagen der Abteilung Forschung und "
                                "Entwicklung aus dem Jahr zweitausendvierundzwanzig";
const std::string kLongFile = kLongFolder + "/Abschlussbericht mit sämtlichen Anhängen, "
                                            "Tabellen und Abbildungen in endgültiger Fassung.pdf";

QString Name(const QWidget* w) {
    QString path;
    for (const QWidget* p = w; p != nullptr; p = p->isWindow() ? nullptr : p->parentWidget()) {
        const QString part =
            p->objectName().isEmpty() ? p->metaObject()->className() : p->objectName();
        path = path.isEmpty() ? part : part + "/" + path;
    }
    return path;
}

QString Shortfall(const QWidget* w, const QString& text, QSize needed, QSize room) {
    return QString("%1: „%2“ braucht %3×%4, hat %5×%6")
        .arg(Name(w), QString(text).replace('\n', " ⏎ ").left(80))
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

bool Fits(QSize needed, QSize room) {
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// A label's text as it lays it out: rich text through a document, plain text by lines,
// wrapped at the label's width when it wraps.
QSize LabelNeeds(const QLabel* label, int width) {
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        if (label->wordWrap())
            doc.setTextWidth(width);
        return QSize(qCeil(label->wordWrap() ? doc.size().width() : doc.idealWidth()),
                     qCeil(doc.size().height()));
    }
    const int flags = Qt::TextShowMnemonic | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect box(0, 0, label->wordWrap() ? width : 100000, 100000);
    return label->fontMetrics().boundingRect(box, flags, text).size();
}

void CheckLabel(const QLabel* label, QStringList& problems) {
    if (label->text().isEmpty())
        return;
    const QRect room = label->contentsRect();
    const int indent = qMax(0, label->indent());
    const QSize needed = LabelNeeds(label, room.width() - indent) + QSize(indent, 0);
    if (!Fits(needed, room.size()))
        problems << Shortfall(label, label->text(), needed, room.size());
}

// Push buttons, tick boxes and option buttons: the text, beside a push button's icon, must fit
// the contents area the style leaves, beside the indicator where there is one.
void CheckButton(const QAbstractButton* b, QStringList& problems) {
    if (b->text().isEmpty())
        return;
    const auto* push = qobject_cast<const QPushButton*>(b);
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.rect = b->rect();
    opt.features =
        push != nullptr && push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    const QRect room = b->style()->subElementRect(push != nullptr ? QStyle::SE_PushButtonContents
                                                  : qobject_cast<const QRadioButton*>(b) != nullptr
                                                      ? QStyle::SE_RadioButtonContents
                                                      : QStyle::SE_CheckBoxContents,
                                                  &opt, b);
    QSize needed = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    if (push != nullptr && !b->icon().isNull())
        needed.rwidth() += b->iconSize().width() + 4;
    if (!Fits(needed, room.size()))
        problems << Shortfall(b, b->text(), needed, room.size());
}

void CheckGroupBox(const QGroupBox* box, QStringList& problems) {
    if (box->title().isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.rect = box->rect();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.lineWidth = 1;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    const int needed = box->fontMetrics().horizontalAdvance(box->title());
    if (!box->rect().contains(label) || label.width() < needed)
        problems << Shortfall(box, box->title(), QSize(label.right() + 1, label.height()),
                              box->size());
}

void CheckTabs(const QTabBar* bar, QStringList& problems) {
    for (int i = 0; i < bar->count(); ++i) {
        const QRect tab = bar->tabRect(i);
        const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
        if (tab.right() >= bar->width() || tab.width() < needed)
            problems << Shortfall(bar, bar->tabText(i), QSize(tab.right() + 1, tab.height()),
                                  bar->size());
    }
}

void CheckText(const QWidget* w, QStringList& problems) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        CheckLabel(label, problems);
    else if (qobject_cast<const QPushButton*>(w) != nullptr ||
             qobject_cast<const QCheckBox*>(w) != nullptr ||
             qobject_cast<const QRadioButton*>(w) != nullptr)
        CheckButton(static_cast<const QAbstractButton*>(w), problems);
    else if (const auto* box = qobject_cast<const QGroupBox*>(w))
        CheckGroupBox(box, problems);
    else if (const auto* bar = qobject_cast<const QTabBar*>(w))
        CheckTabs(bar, problems);
}

// A control of the window's own, not a part Qt makes inside a list, a scroll area or a
// combo box.
bool OwnControl(const QWidget* w) {
    return w->isVisible() && !w->isWindow() && !w->objectName().startsWith("qt_") &&
           qobject_cast<const QScrollBar*>(w) == nullptr &&
           qobject_cast<const QSizeGrip*>(w) == nullptr && qobject_cast<const QMenu*>(w) == nullptr;
}

// What must be wholly inside its parent to be read; a picture may move behind its frame.
bool CarriesText(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) != nullptr ||
           qobject_cast<const QAbstractButton*>(w) != nullptr ||
           qobject_cast<const QGroupBox*>(w) != nullptr ||
           qobject_cast<const QTabBar*>(w) != nullptr ||
           qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QAbstractItemView*>(w) != nullptr ||
           qobject_cast<const QProgressBar*>(w) != nullptr;
}

void CheckPlacement(const QWidget* parent, QStringList& problems) {
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w != nullptr && OwnControl(w))
            shown << w;
    }
    for (int i = 0; i < shown.size(); ++i) {
        const QRect a = shown[i]->geometry();
        if (!parent->rect().contains(a) && CarriesText(shown[i]))
            problems << QString("%1 reicht über %2 hinaus").arg(Name(shown[i]), Name(parent));
        for (int j = i + 1; j < shown.size(); ++j) {
            const QRect b = shown[j]->geometry();
            if (a.intersects(b) && !a.contains(b) && !b.contains(a))
                problems << QString("%1 überdeckt %2").arg(Name(shown[i]), Name(shown[j]));
        }
    }
}

void Walk(const QWidget* parent, QStringList& problems) {
    CheckPlacement(parent, problems);
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w == nullptr || !OwnControl(w))
            continue;
        CheckText(w, problems);
        Walk(w, problems);
    }
}

// What a person would see cut or covered in `window` as it is shown now, one line each:
// - a label, tick box, option button, push button, group box title or tab whose text,
//   measured with the control's own font plus the style's margins, is wider or taller
//   than the room the control gives it;
// - a visible control that reaches beyond its parent's rectangle;
// - two visible controls side by side that partly overlap (a control lying wholly on or
//   under another, as stacked panels do, is not counted).
// Empty when nothing is.
QStringList TextFitProblems(QWidget* window) {
    QStringList problems;
    Walk(window, problems);
    return problems;
}

} // namespace

class TextFitTest : public UiTestCase {
    Q_OBJECT

    QStringList problems_;
    QString face_;

    void look(QWidget* window, const QString& what) {
        QVERIFY2(window != nullptr && window->isVisible(), qPrintable(what + " is not shown"));
        for (const QString& p : TextFitProblems(window))
            problems_ << face_ + ", " + what + ": " + p;
        SaveScreenshot(window, face_ + " - " + what);
    }

    // Runs `open` once with each font, each time in a fresh home, and fails with everything
    // found cut or covered.
    template <typename Open> void withEachFace(Open open) {
        const QFont original = QApplication::font();
        problems_.clear();
        for (const Face& face : kFaces) {
            QFont font(face.family, face.points);
            QCOMPARE(QFontInfo(font).family(), QString(face.family));
            QApplication::setFont(font);
            face_ = QString("%1 %2 pt").arg(face.family).arg(face.points);
            renewHome();
            open();
        }
        QApplication::setFont(original);
        for (const QString& p : problems_)
            qInfo().noquote() << p;
        QVERIFY2(problems_.isEmpty(), qPrintable(QString("%1 Stellen").arg(problems_.size())));
    }

    // Opens a modal window with `show` and looks at it as it comes up; `then` looks at a
    // second one that the first leads to.
    void lookAtModal(const QString& what, const std::function<void()>& show,
                     const QString& then = QString()) {
        ExpectModals expected;
        bool seen = false;
        OnNextModal([&](QWidget* modal) {
            look(modal, what);
            seen = true;
            if (!then.isEmpty())
                OnNextModal([&](QWidget* next) { look(next, then); });
        });
        show();
        CancelModalWatchers();
        QVERIFY2(seen, qPrintable(what + " did not open"));
    }

private slots:
    // The generic step that makes room: a caption too narrow for its text grows, the box in
    // its row moves right by as much, the label below stays, and the fixed-size window grows.
    void aCaptionThatDoesNotFitGrowsAndPushesItsRowAndTheWindow() {
        QDialog window;
        window.setFixedSize(TwipsToPixelsX(3000), TwipsToPixelsY(1000));
        auto* caption =
            MakeLabel(&window, "Caption", "Ein sehr langer Hinweistext:", {120, 120, 600, 240});
        auto* box = MakeControl<QLineEdit>(&window, "Box", {840, 120, 2040, 285});
        auto* below = MakeLabel(&window, "Below", "Kurz", {120, 600, 600, 240});
        FitTexts(&window);
        window.show();
        const int grown = caption->width() - TwipsToPixelsX(600);
        QVERIFY(grown > 0);
        QVERIFY(caption->width() >= caption->fontMetrics().horizontalAdvance(caption->text()));
        QVERIFY(std::abs(box->x() - (TwipsToPixelsX(840) + grown)) <= 1);
        QVERIFY(std::abs(window.width() - (TwipsToPixelsX(3000) + grown)) <= 1);
        QCOMPARE(below->pos(), QPoint(TwipsToPixelsX(120), TwipsToPixelsY(600)));
        QCOMPARE(below->width(), TwipsToPixelsX(720) - TwipsToPixelsX(120));
        QVERIFY(TextFitProblems(&window).isEmpty());
    }

    void mainWindowAtFirstStartLoadedDuringAndAfterARun() {
        withEachFace([&] {
            Form1 first;
            first.show();
            look(&first, "Hauptfenster beim ersten Start");

            trees().file(kLongFile, 4 << 20, UnixTime(12, 0, 0));
            trees().text("start/kurz.txt", "kurz", UnixTime(12, 0, 0));
            trees().text("ziel/übrig.txt", "alt", UnixTime(12, 0, 0));
            const auto window = LoadedWindow("0|0|1|1", trees());
            look(window.get(), "Hauptfenster geladen");

            const auto slow = SlowCopiesFor(*window);
            QTimer during;
            bool seenDuring = false;
            QObject::connect(&during, &QTimer::timeout, [&] {
                if (!TextOf(window.get(), "Label8_0").isEmpty() && !seenDuring) {
                    seenDuring = true;
                    look(window.get(), "Hauptfenster während des Kopierens");
                }
            });
            during.start(5);
            Click(window.get(), "Command3");
            QVERIFY(seenDuring);
            look(window.get(), "Hauptfenster nach dem Kopieren");
        });
    }

    void dialogsOfTheMenus() {
        withEachFace([&] {
            Form1 w;
            w.show();
            Form2 settings(reg(), &w);
            settings.show();
            look(&settings, "Einstellungen");
            Form3 rules(&w);
            rules.show();
            look(&rules, "Regeln");
            Form4 errors(&w);
            errors.AddCopyError("/home/anna/start/bericht.pdf", "/media/sicherung/bericht.pdf",
                                "Auf dem Datenträger ist nicht genug Platz");
            errors.show();
            look(&errors, "Kopierfehler");
            Form5 about(&w);
            about.show();
            look(&about, "Über");
            w.setHandbookFile(GLEICHWART_HANDBOOK);
            w.help_Click();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == "HandbookWindow" && top->isVisible())
                    look(top, "Hilfe");
        });
    }

    void folderBrowserRenameAndProperties() {
        withEachFace([&] {
            Form1 w;
            w.show();
            const std::string file = trees().text("start/notizen.txt", "x", UnixTime(12, 0, 0));
            lookAtModal("Ordner suchen", [&] {
                BrowseForFolder("Wählen Sie das Verzeichnis aus, bei dem\r\ndie "
                                "Synchronisierung gestartet werden soll.",
                                &w, "Startordner suchen...", Q(trees().path("start")), true);
            });
            RenameDialog rename(&w, trees().path("start") + "/", "notizen.txt");
            rename.show();
            look(&rename, "Umbenennen");
            FileProperties properties(&w, file);
            properties.show();
            look(&properties, "Eigenschaften");
        });
    }

    void messageBoxes() {
        withEachFace([&] {
            Form1 w;
            w.show();
            const QString path = Q(trees().path("start/bericht.pdf"));
            lookAtModal("Fehlermeldung", [&] {
                ShowErrorMessage(&w, "Der Ordner „" + path + "“ existiert nicht.");
            });
            lookAtModal("Löschfrage (Papierkorb)", [&] { AskDeleteQuestion(&w, 12345, true); });
            lookAtModal("Löschfrage (endgültig)", [&] { AskDeleteQuestion(&w, 1, false); });
            lookAtModal("Löschfehler", [&] {
                ShowDeleteFailures(&w, {path + " (Zugriff verweigert)", path + " (belegt)"});
            });
            lookAtModal("Keine Hilfe", [&] { ShowNoHelpMessage(&w); });
            std::vector<FailedItem> unread(2);
            for (FailedItem& f : unread) {
                f.kind = FailedItem::Kind::Read;
                f.path = trees().path("start/gesperrt");
                f.reason = "Zugriff verweigert";
            }
            lookAtModal("Lesefehler", [&] { ShowFailures(&w, unread); });
            lookAtModal(
                "Verknüpfung: Information",
                [&] { OfferShortcut(&w, path, Q(trees().path("ziel")), "Aktualisieren"); },
                "Verknüpfung: Speichern");
        });
    }
};

GLEICHWART_UI_TEST_MAIN(TextFitTest)
#include "text_fit_test.moc"
