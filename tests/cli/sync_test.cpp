// gleichwart-sync as a process, as a timer or a script starts it (no terminal), and typed in a
// terminal window, where it asks before it deletes.
#include "rules/rule_store.h"
#include "run_test_support.h"
#include "settings/cls_registry.h"
#include "sync_fixture.h"

#include <cstring>

namespace {

TEST_F(SyncProgramTest, DryRunListsWhatWouldHappenLeavesOutTheTrashAndExclusionsChangingNothing) {
    SyncTrees t;
    for (const char* rel : {"target/.Trash-0/files/precious.doc", "target/lost+found/x"})
        t.tree.text(rel, rel, UnixTime(8, 0, 0));
    const std::string list = t.tree.text("muster.txt", "# Kommentar\r\nnur_im_ziel.txt\n", 0);
    const auto before = Snapshot(t.tree.root());
    const ChildResult r = RunSync(t.parts("Spiegel", {"--vorschau"}));
    // The lines follow the order in which the folders are read.
    EXPECT_EQ(r.out, "+ " + t.start + "/neu.txt\n+ " + t.start + "/sub/geaendert.txt\n- " +
                         t.target + "/nur_im_ziel.txt\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "2 Papierkorb- oder lost+found-Ordner ausgelassen.\n");
    // Patterns from the command line and from a file are added to the rule's for that run (a
    // pattern file that cannot be read is a wrong call).
    const ChildResult excluding = RunSync(
        t.parts("Spiegel", {"--vorschau", "--ausschliessen", "sub/", "--ausschliessen-aus", list}));
    EXPECT_EQ(excluding.out, "+ " + t.start + "/neu.txt\n");
    EXPECT_EQ(Snapshot(t.tree.root()), before);
}

// A file of the same time but another size is named, not copied, and leaves exit code 1,
// unless --konflikte-kopieren asks for it; a dry run marks it "?".
TEST_F(SyncProgramTest, ConflictsAreNamedAndLeftUnlessAskedForThenCopied) {
    SyncTrees t;
    t.tree.text("start/konflikt.txt", "kurz", UnixTime(9, 0, 2));
    t.tree.text("target/konflikt.txt", "viel länger", UnixTime(9, 0, 0));
    const std::string named =
        "Konflikt, nicht kopiert (gleicher Zeitpunkt, andere Größe): " + t.start +
        "/konflikt.txt\n";
    const ChildResult dry = RunSync(t.parts("Aktualisieren", {"--vorschau"}));
    EXPECT_EQ(dry.exitCode, 1);
    EXPECT_NE(dry.out.find("? " + t.start + "/konflikt.txt\n"), std::string::npos) << dry.out;
    const ChildResult left = RunSync(t.parts("Aktualisieren"));
    EXPECT_EQ(left.exitCode, 1);
    EXPECT_NE(left.err.find(named), std::string::npos) << left.err;
    EXPECT_EQ(ReadFile(t.target + "/konflikt.txt"), "viel länger");
    const ChildResult copied = RunSync(t.parts("Aktualisieren", {"--konflikte-kopieren"}));
    EXPECT_EQ(copied.exitCode, 0) << copied.err;
    EXPECT_EQ(ReadFile(t.target + "/konflikt.txt"), "kurz");
}

TEST_F(SyncProgramTest, MirrorRunMakesTheTargetLikeTheStart) {
    // The command line in pieces and as one quoted argument.
    for (const bool oneArgument : {false, true}) {
        SyncTrees t;
        Lines call = t.parts("Endgültig", {"--ja"});
        if (oneArgument)
            call = {call[1] + " " + call[2] + " " + call[3], "--yes"};
        SCOPED_TRACE(call[0]);
        const auto startBefore = Snapshot(t.start);
        const ChildResult r = RunSync(call);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Snapshot(t.target), startBefore);
        EXPECT_EQ(Snapshot(t.start), startBefore);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(SummaryValue(r.out, "Kopiert:"), "2 Dateien (15 B)");
        EXPECT_EQ(SummaryValue(r.out, "Gelöscht:"), "1 Datei");
    }
}

// The entries ended by `end`, sorted; with `onlyMarked` only those that begin with a mark of
// the list, as the run's other texts stand between them.
Lines SortedLines(const std::string& out, char end, bool onlyMarked = false) {
    Lines lines;
    std::size_t from = 0;
    for (auto at = out.find(end); at != std::string::npos; at = out.find(end, from = at + 1))
        if (!onlyMarked ||
            (at - from > 2 && std::strchr("+<-=!", out[from]) && out[from + 1] == ' '))
            lines.push_back(out.substr(from, at - from));
    EXPECT_EQ(from, out.size()) << "the last entry is not ended: " << out;
    std::sort(lines.begin(), lines.end());
    return lines;
}

// -v lists each action as it is done, one kind of mark for each kind of action; the summary
// stays below the list.
TEST_F(SyncProgramTest, EveryKindOfActionIsListedAsItIsDone) {
    SyncTrees t;
    t.tree.text("start/konflikt.txt", "kurz", UnixTime(9, 0, 2));
    t.tree.text("target/konflikt.txt", "viel länger", UnixTime(9, 0, 0));
    t.tree.text("start/gesperrt/a.txt", "a", UnixTime(10, 0, 0));
    t.tree.link("target/gesperrt", t.tree.folder("aussen"));
    t.tree.folder("start/leer");
    t.tree.folder("target/alt_leer");
    const ChildResult r = RunSync(t.parts("Spiegel", {"-v", "--ja", "--ordner-angleichen"}));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const Lines lines = SortedLines(r.out, '\n', true);
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[0].rfind("! " + t.start + "/gesperrt/a.txt: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines,
              (Lines{lines[0], "+ " + t.start + "/leer/", "+ " + t.start + "/neu.txt",
                     "+ " + t.start + "/sub/geaendert.txt", "- " + t.target + "/alt_leer/",
                     "- " + t.target + "/nur_im_ziel.txt", "= " + t.start + "/konflikt.txt"}));
    t.tree.text("target/zurueck.txt", "z", UnixTime(10, 0, 0));
    const ChildResult back = RunSync({"-v", "--regel-text", "0|3|1|1", t.start, t.target});
    EXPECT_NE(back.out.find("\n< " + t.target + "/zurueck.txt\n"), std::string::npos) << back.out;
}

// With -0 every listed path ends with a NUL, so that a name holding a newline reads back
// exactly; everything else goes to standard error. Short switches may be written together.
TEST_F(SyncProgramTest, NullEndedListsReadBackNamesWithNewlines) {
    SyncTrees t;
    t.tree.text("start/zwei\nZeilen.txt", "z", UnixTime(10, 0, 0));
    const Lines copies = {"+ " + t.start + "/neu.txt", "+ " + t.start + "/sub/geaendert.txt",
                          "+ " + t.start + "/zwei\nZeilen.txt"};
    Lines all = copies;
    all.push_back("- " + t.target + "/nur_im_ziel.txt");
    std::sort(all.begin(), all.end());
    const ChildResult dry = RunSync(t.parts("Endgültig", {"-n0"}));
    EXPECT_EQ(SortedLines(dry.out, '\0'), all);
    const ChildResult r = RunSync(t.parts("Endgültig", {"-v0", "--ja"}));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(SortedLines(r.out, '\0'), all);
    EXPECT_EQ(SummaryValue(r.err, "Kopiert:"), "3 Dateien (16 B)");
    EXPECT_EQ(ReadFile(t.target + "/zwei\nZeilen.txt"), "z");
}

TEST_F(SyncProgramTest, WrongCallsExitWithTwoAndHelpWithZeroChangingNothing) {
    SyncTrees t;
    const std::string s = "/Startordner|" + t.start, z = "/Zielordner|" + t.target;
    // One call for each way out before a run; which rule or path is wrong, and the
    // message for it, is the command line's and the folder check's own business (a missing
    // folder's exit code, the case of the folders taken byte for byte shows).
    const struct {
        Lines arguments;
        int exitCode;
        std::string message; // on standard output with 0, on standard error otherwise
    } cases[] = {
        {{"--help"}, 0, "Aufruf: gleichwart-sync [Optionen] '/Startordner|ORDNER'"},
        {{"--ja", "--gibtsnicht", s, z, "/Regel|Endgültig"}, 2, "Unbekannte Option: --gibtsnicht"},
        {{}, 2, "Es wurde nichts angegeben."},
        {t.parts("Spiegel", {"--ausschliessen-aus", t.start + "/fehlt"}), 2,
         "Die Musterdatei \"" + t.start + "/fehlt\" kann nicht gelesen"},
        {{"--regel", "Spiegel", "--regel-text", "0|5|1|2", t.start, t.target},
         2,
         "--regel und --regel-text schließen einander aus"},
        {{"--regel-text", "0|9|1|2", t.start, t.target}, 2, "Der Regeltext \"0|9|1|2\" ist keine"},
        {{"--regel-text", "0|5|1|2", s, z}, 2, "lassen sich nicht mischen"},
        {{"-nx", t.start, t.target}, 2, "Unbekannte Option: -nx"},
    };
    const auto before = Snapshot(t.tree.root());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ChildResult r = RunSync(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_NE((c.exitCode == 0 ? r.out : r.err).find(c.message), std::string::npos);
        EXPECT_EQ(c.exitCode == 0 ? r.err : r.out, "");
    }
    EXPECT_EQ(Snapshot(t.tree.root()), before);
}

// An unnamed rule in its stored form, with the short option for a dry run: the lists that
// the stored mirror rule gives.
TEST_F(SyncProgramTest, AnUnnamedRuleRunsAsTheStoredOneOfTheSameText) {
    SyncTrees t;
    const ChildResult stored = RunSync(t.parts("Spiegel", {"--vorschau"}));
    const ChildResult unnamed = RunSync({"-n", "--regel-text", "0|5|1|2", t.start, t.target});
    EXPECT_EQ(unnamed.exitCode, 0) << unnamed.err;
    EXPECT_EQ(unnamed.out, stored.out);
    EXPECT_NE(unnamed.out.find("- " + t.target + "/nur_im_ziel.txt"), std::string::npos);
}

TEST_F(SyncProgramTest, TheStoredRulesAreListedInWords) {
    const ChildResult r = RunSync({"--regeln"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(
        r.out.find("\nSpiegel (0|5|1|2): kopiert, was im Ziel fehlt oder älter ist; löscht, "
                   "was nur im Ziel liegt, endgültig; mit Unterordnern; auch schreibgeschützte "
                   "Dateien und versteckte Dateien\n"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
}

TEST_F(SyncProgramTest, StartAndZielAreTakenByteForByteAndTheKeysMayHaveBlanks) {
    TreeBuilder t;
    t.text("a|b/x.txt", "x");
    t.text("a/y.txt", "y");
    t.text("sp /x.txt", "x");
    t.text("sp/y.txt", "y");
    t.text("ziel/alt.txt", "alt");
    const std::string r = t.root(), ziel = t.path("ziel");
    const struct {
        Lines arguments;
        int exitCode;
        std::string out, err; // err: a part of it
    } cases[] = {
        // Without --regel the rule "Aktualisieren" copies only.
        {{"--vorschau", r + "/sp ", ziel}, 0, "+ " + r + "/sp /x.txt\n", ""},
        {{"--regel", "endgültig", "--vorschau", r + "/a|b", ziel},
         0,
         "+ " + r + "/a|b/x.txt\n- " + ziel + "/alt.txt\n",
         ""},
        {{"--vorschau", r + "/sp  ", ziel},
         2,
         "",
         "Der Startpfad: \"" + r + "/sp  \"existiert nicht !!\n"},
        {{"--vorschau", "/ Startordner |" + r + "/sp", "/ZIELORDNER |" + ziel, "/ regel|Endgültig"},
         0,
         "+ " + r + "/sp/y.txt\n- " + ziel + "/alt.txt\n",
         ""},
        {{r + "/a|b", "/Zielordner|" + ziel, "/Regel|Endgültig"}, 2, "", "nicht mischen"},
        {{r + "/a", ziel, "--regel"}, 2, "", "Nach --regel fehlt der Name einer Regel."},
    };
    const auto before = Snapshot(r);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const ChildResult result = RunSync(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    EXPECT_EQ(Snapshot(r), before);
}

TEST_F(SyncProgramTest, DeletingNeedsJaWhereNoTerminalCanAsk) {
    SyncTrees t;
    const ChildResult r = RunSync(t.parts("Endgültig"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Es wird nichts gelöscht (1 Datei)"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(t.target + "/nur_im_ziel.txt"), "weg");
    EXPECT_EQ(ReadFile(t.target + "/sub/geaendert.txt"), "neue Fassung"); // copied all the same
}

TEST_F(SyncProgramTest, ACopyThatFailsGivesOneWithItsReason) {
    SyncTrees t;
    t.tree.text("start/gesperrt/a.txt", "a", UnixTime(10, 0, 0));
    // A link in the target path: nothing is written through it, as root too.
    const std::string locked = t.target + "/gesperrt", outside = t.tree.folder("aussen");
    t.tree.link("target/gesperrt", outside);
    const ChildResult r = RunSync(t.parts("Aktualisieren"));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("Folgende Dateien konnten nicht kopiert werden:\n  " + t.start +
                         "/gesperrt/a.txt -> " + locked + "/a.txt: "),
              std::string::npos)
        << r.err;
    EXPECT_EQ(SummaryValue(r.out, "Fehlgeschlagen:"), "1 Datei");
    EXPECT_EQ(SummaryValue(r.out, "Kopiert:"), "2 Dateien (15 B)"); // the others go on
    EXPECT_TRUE(fs::is_empty(outside));
}

TEST_F(SyncProgramTest, SigtermStopsAfterTheCurrentFileAndDeletesNothing) {
    constexpr int kFiles = 1000;
    constexpr std::int64_t kSize = 64 << 10;
    SyncTrees t;
    for (int k = 0; k < kFiles; ++k) {
        const std::string name = "viele/" + std::to_string(k) + ".dat";
        t.tree.file("start/" + name, kSize, UnixTime(12, 0, 0));
        if (k % 2 == 0) // every other file has an old version in the target
            t.tree.text("target/" + name, "alt", UnixTime(8, 0, 0));
    }
    ChildProcess program(t.parts("Endgültig", {"--ja"}));
    // Stopped as soon as the first copy is being written: the program then holds a file open
    // in the target folder (a nameless one shows there as "#inode (deleted)").
    const std::string folder = fs::canonical(t.target).string() + "/viele/";
    const auto writing = [&] {
        std::error_code e;
        for (const auto& fd :
             fs::directory_iterator("/proc/" + std::to_string(program.pid()) + "/fd", e))
            if (fs::read_symlink(fd.path(), e).string().rfind(folder, 0) == 0)
                return true;
        return false;
    };
    const auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!writing() && std::chrono::steady_clock::now() < waitUntil)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(::kill(program.pid(), SIGTERM), 0);
    ::kill(program.pid(), SIGINT); // a second signal changes nothing
    const ChildResult r = program.finish();

    EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Synchronisierung abgebrochen"), std::string::npos) << r.out;
    // Every file is either complete or as it was.
    int complete = 0;
    for (int k = 0; k < kFiles; ++k) {
        const std::string path = t.target + "/viele/" + std::to_string(k) + ".dat";
        const std::string content = fs::exists(path) ? ReadFile(path) : "(fehlt)";
        complete += content == std::string(kSize, 'x');
        if (content != std::string(kSize, 'x'))
            EXPECT_EQ(content, k % 2 == 0 ? "alt" : "(fehlt)") << path;
    }
    EXPECT_GT(complete, 0);
    EXPECT_LT(complete, kFiles) << "the run was not stopped";
    EXPECT_EQ(TemporaryFiles(t.target), Lines{});
    EXPECT_EQ(ReadFile(t.target + "/nur_im_ziel.txt"), "weg");
}

// Typed in a terminal window: the delete question.
TEST_F(SyncProgramTest, TheDeleteQuestionIsAnsweredOnTheTerminal) {
    const std::string forGood = "Soll diese Datei wirklich endgültig gelöscht werden?";
    const struct {
        const char* rule;
        const char* answer; // nullptr: "--ja" is given and nothing may be asked
        std::string question;
        bool deleted;
    } cases[] = {
        // in one home: the trash is looked at last
        {"Endgültig", "j\n", forGood + " [j/N] ", true},
        {"Endgültig", "\n", forGood, false},
        {"Endgültig", nullptr, "", true},
        {"Papierkorb", "ja\n",
         "Soll diese Datei wirklich in den Papierkorb verschoben werden? [j/N] ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " " + (c.answer ? c.answer : "--ja"));
        SyncTrees t;
        ChildProcess program(t.parts(c.rule, c.answer ? std::vector<std::string>{}
                                                      : std::vector<std::string>{"--ja"}),
                             {.terminal = true});
        if (c.answer != nullptr) {
            ASSERT_TRUE(program.waitForOutput(c.question, std::chrono::seconds(30)));
            program.type(c.answer);
        }
        const ChildResult r = program.finish();
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(c.answer == nullptr, r.err.find("wirklich") == std::string::npos) << r.err;
        EXPECT_EQ(std::filesystem::exists(t.target + "/nur_im_ziel.txt"), !c.deleted);
        // The test's home lies on the same file system as the trees: its trash takes the file.
        const bool intoTrash = std::string(c.rule) == "Papierkorb";
        EXPECT_EQ(ReadFile(home.path() + "/data/Trash/files/nur_im_ziel.txt"),
                  intoTrash && c.deleted ? "weg" : "");
        EXPECT_EQ(SummaryValue(r.out, intoTrash ? "In den Papierkorb:" : "Gelöscht:"),
                  c.deleted ? "1 Datei" : "0 Dateien");
        // The copies are made before the question in every case.
        EXPECT_EQ(ReadFile(t.target + "/neu.txt"), "neu");
    }
}

// gleichwart-sync --rueckgaengig: the preview changes nothing, without a terminal nothing is
// undone unless --ja says so, on a terminal it asks; undone, both trees are as before the run
// and there is nothing more to undo.
TEST_F(SyncProgramTest, UndoAsksPutsBothTreesBackAndThenHasNothingMoreToDo) {
    SyncTrees t;
    const auto before = Snapshot(t.tree.root());
    ASSERT_EQ(RunSync(t.parts("Papierkorb", {"--ja"})).exitCode, 0);
    const auto after = Snapshot(t.tree.root());
    const ChildResult preview = RunSync({"--rueckgaengig", "-n"});
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_NE(preview.out.find("  Zielordner: 1 ersetzte Datei bekommt die alte Fassung zurück\n"),
              std::string::npos)
        << preview.out;
    EXPECT_EQ(RunSync({"--rueckgaengig"}).exitCode, 1);
    EXPECT_EQ(Snapshot(t.tree.root()), after);
    ChildProcess asked({"--rueckgaengig"}, {.terminal = true});
    ASSERT_TRUE(
        asked.waitForOutput("Diesen Abgleich rückgängig machen? [j/N] ", std::chrono::seconds(30)));
    asked.type("j\n");
    const ChildResult r = asked.finish();
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Snapshot(t.tree.root()), before);
    const ChildResult again = RunSync({"--rueckgaengig", "--ja"});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_EQ(again.err, "Es gibt keinen Abgleich, der rückgängig gemacht werden kann.\n");
}

// A first use with no settings at all stores the window's first-start rules, once, also when
// two runs start at once; the default rule then runs.
TEST(FirstUse, TheTerminalStoresTheFirstStartRulesAlsoForTwoRunsAtOnce) {
    TempHome home;
    SyncTrees t;
    ChildProcess first({"--vorschau", t.start, t.target});
    ChildProcess second({"--vorschau", t.start, t.target});
    for (ChildProcess* run : {&first, &second}) {
        const ChildResult r = run->finish();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "+ " + t.start + "/neu.txt\n+ " + t.start + "/sub/geaendert.txt\n");
    }
    clsRegistry registry;
    EXPECT_EQ(RuleStore(registry).Names(),
              (std::vector<std::string>{"Aktualisieren", "Beide Richtungen", "Spiegeln"}));
    EXPECT_EQ(RuleText(LoadRule("Spiegeln")), "0|4|1|2");
}

} // namespace
