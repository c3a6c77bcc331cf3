// Every window and message box the program shows, laid out with fonts a Debian desktop
// ships: no text cut, nothing reaching out of its parent, no two controls partly on top of
// each other. The device pixel ratio comes from the environment: ctest runs this program
// at 1 and at 2.
#include "text_fit_check.h"
#include "ui_test_support.h"

#include "desktop/desktop_shell.h"
#include "desktop/file_properties.h"
#include "desktop/rename_dialog.h"
#include "dialogs/about_window.h"
#include "dialogs/copy_errors_window.h"
#include "dialogs/folder_browser.h"
#include "dialogs/rule_editor.h"
#include "dialogs/settings_window.h"
#include "dialogs/undo_window.h"
#include "engine/failed_item.h"
#include "engine/undo_plan.h"
#include "kit/controls.h"
#include "kit/error_message.h"
#include "kit/text_fit.h"
#include "kit/twips.h"
#include "mainwindow/failure_display.h"
#include "mainwindow/shortcut_offer.h"

#include <QDialog>
#include <QFontInfo>

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

} // namespace

class TextFitTest : public UiTestCase {
    Q_OBJECT

    QStringList problems_;
    QString face_;

    // Shows `window` (a modal one is shown already) and looks at it.
    void look(QWidget* window, const QString& what) {
        QVERIFY2(window != nullptr, qPrintable(what + " is missing"));
        window->show();
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
        QVERIFY2(problems_.isEmpty(), qPrintable("\n" + problems_.join("\n")));
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
        QVERIFY(grown > 0); // that its text fits now, the last check shows
        QVERIFY(std::abs(box->x() - (TwipsToPixelsX(840) + grown)) <= 1);
        QVERIFY(std::abs(window.width() - (TwipsToPixelsX(3000) + grown)) <= 1);
        QCOMPARE(below->pos(), QPoint(TwipsToPixelsX(120), TwipsToPixelsY(600)));
        QCOMPARE(below->width(), TwipsToPixelsX(720) - TwipsToPixelsX(120));
        QVERIFY(TextFitProblems(&window).isEmpty());
    }

    void mainWindowAtFirstStartLoadedDuringAndAfterARun() {
        withEachFace([&] {
            Form1 first;
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

    // Before and after an undo of a run that made a file with a long path and replaced one that
    // changed since; before it, as for a run that was killed part-way.
    void undoWindowBeforeAndAfter() {
        withEachFace([&] {
            trees().file(kLongFile, 10, UnixTime(12, 0, 0));
            trees().text("start/kurz.txt", "kurz", UnixTime(12, 0, 0));
            trees().text("ziel/kurz.txt", "alt", UnixTime(1, 0, 0));
            const auto window = LoadedWindow("0|0|1|1", trees());
            Click(window.get(), "Command3");
            trees().text("ziel/kurz.txt", "nach dem Abgleich bearbeitet");
            std::string why;
            std::optional<UndoPlan> plan = FindUndoableRun(platform::RealFileOps(), why);
            QVERIFY2(plan, why.c_str());
            plan->finished = false;
            ExpectModals expected; // the undo window, shown while it works
            UndoWindow undo(*plan, platform::RealFileOps(), window.get());
            undo.show();
            look(&undo, "Rückgängig machen");
            Click(&undo, "UndoStart");
            QCOMPARE(Rows(&undo, "UndoLeftList"), 1);
            look(&undo, "Rückgängig gemacht");
        });
    }

    // The dialogs of the menus and of the lists' context menu, and every message box.
    void dialogsAndMessageBoxes() {
        withEachFace([&] {
            Shown<Form1> w;
            Form2 settings(reg(), &w);
            look(&settings, "Einstellungen");
            Form3 rules(&w);
            look(&rules, "Regeln");
            Form4 errors(&w);
            errors.AddCopyError("/home/anna/start/bericht.pdf", "/media/sicherung/bericht.pdf",
                                "Auf dem Datenträger ist nicht genug Platz");
            look(&errors, "Kopierfehler");
            Form5 about(&w);
            look(&about, "Über");
            w.setHandbookFile(GLEICHWART_HANDBOOK);
            w.help_Click();
            look(w.findChild<QWidget*>("HandbookWindow"), "Hilfe");

            const std::string file = trees().text("start/notizen.txt", "x", UnixTime(12, 0, 0));
            lookAtModal("Ordner suchen", [&] {
                BrowseForFolder("Wählen Sie das Verzeichnis aus, bei dem\r\ndie "
                                "Synchronisierung gestartet werden soll.",
                                &w, "Startordner suchen...", Q(trees().path("start")), true);
            });
            RenameDialog rename(&w, trees().path("start") + "/", "notizen.txt");
            look(&rename, "Umbenennen");
            FileProperties properties(&w, file);
            look(&properties, "Eigenschaften");

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
            FailedItem unread; // shown twice
            unread.kind = FailedItem::Kind::Read;
            unread.path = trees().path("start/gesperrt");
            unread.reason = "Zugriff verweigert";
            lookAtModal("Lesefehler", [&] { ShowFailures(&w, {unread, unread}); });
            lookAtModal(
                "Verknüpfung: Information",
                [&] { OfferShortcut(&w, path, Q(trees().path("ziel")), "Aktualisieren"); },
                "Verknüpfung: Speichern");
        });
    }
};

GLEICHWART_UI_TEST_MAIN(TextFitTest)
#include "text_fit_test.moc"
