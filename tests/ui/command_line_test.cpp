// A window started with a command line: the paths and the rule it names, and one load after
// the start; a rule that is not stored is reported and nothing is loaded.
#include "ui_test_support.h"

#include <QSignalSpy>

class CommandLineTest : public UiTestCase {
    Q_OBJECT
private slots:
    void threePartsLoadTheFoldersOnceAfterTheStart() {
        TreeBuilder& t = trees(); // a first start: the three starter rules are stored
        t.text("Meine Fotos/a.jpg", "a");
        t.text("Meine Fotos/b.jpg", "b");
        t.text("ziel/alt.jpg", "alt");
        Form1 w;
        // Blanks around the keys; and a rule stored after the list was filled, ahead of the
        // others in the store's order, so that an index into the store is one too small. A
        // message box would fail the case.
        w.setCommandLine("/Startordner |" + t.path("Meine Fotos") + "  / ZIELORDNER|" +
                         t.path("ziel") + " /regel |spiegeln");
        reg().SetStringValue(HKCU, kRulesKey, "Abgleich", "0|5|1|1");
        w.show();
        auto* copies = Control<QListView>(&w, "List1");
        QCOMPARE(copies->model()->rowCount(), 0); // nothing before the timer
        QSignalSpy resets(copies->model(), &QAbstractItemModel::modelReset);
        QTRY_COMPARE_WITH_TIMEOUT(copies->model()->rowCount(), 2, 5000);
        QCOMPARE(TextOf(&w, "Text2"), Q(t.path("ziel")));
        QCOMPARE(Control<QComboBox>(&w, "Combo1")->currentText(), QString("Spiegeln"));
        QCOMPARE(Control<QListView>(&w, "List2")->model()->rowCount(), 1); // alt.jpg goes
        // Once only: later turns of the event loop load nothing again.
        const qsizetype afterLoad = resets.count();
        QTest::qWait(1200);
        QCOMPARE(resets.count(), afterLoad);
    }

    void anUnknownRuleOrAMissingFolderIsReportedAndNothingIsLoaded() {
        TreeBuilder& t = trees();
        t.text("Meine Fotos/a.txt", "a");
        t.folder("ziel");
        // The folder is checked as read: one blank more is another folder, not this one.
        const std::string missing = t.path("Meine  Fotos");
        const struct {
            std::string start, rule;
            QString message;
        } rows[] = {
            {t.path("Meine Fotos"), "Gibt es nicht",
             "Die Regel: Gibt es nicht\r\nexistiert nicht !!"},
            {missing, "Aktualisieren", "Der Startpfad: \"" + Q(missing) + "\"existiert nicht !!"},
        };
        for (const auto& row : rows) {
            Form1 w;
            w.setCommandLine("/Startordner|" + row.start + " /Zielordner|" + t.path("ziel") +
                             " /Regel|" + row.rule);
            QString text;
            OnNextModal([&](QWidget* modal) { text = Seen(modal).text; });
            w.show();
            QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 5000);
            QCOMPARE(text, row.message);
            // The paths stay as given; no load follows.
            QCOMPARE(TextOf(&w, "Text1"), Q(row.start));
            QTest::qWait(300);
            QVERIFY(w.session().StartFiles.empty());
        }
    }
};

GLEICHWART_UI_TEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
