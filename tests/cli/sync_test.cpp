// gleichwart-sync as a process, as a timer or a script starts it: no terminal.
#include "run_test_support.h"
#include "sync_fixture.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

TEST_F(SyncProgramTest, DryRunListsWhatWouldHappenAndChangesNothing) {
    const struct {
        const char* rule;
        const char* option;
        const char* targetLine; // besides the two start files to copy
    } cases[] = {
        {"Aktualisieren", "--vorschau", nullptr},
        {"Endgültig", "--dry-run", "- "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        SyncTrees t;
        const auto before = Snapshot(t.tree.root());
        const ChildResult r = RunSync(t.parts(c.rule, {c.option}));
        // The lines follow the order in which the folders are read.
        const std::string deleted =
            c.targetLine ? c.targetLine + t.target + "/nur_im_ziel.txt" : "";
        for (const std::string& line :
             {"+ " + t.start + "/neu.txt", "+ " + t.start + "/sub/geaendert.txt", deleted})
            EXPECT_NE(r.out.find(line + "\n"), std::string::npos) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.targetLine ? 3 : 2);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Snapshot(t.tree.root()), before);
    }
}

TEST_F(SyncProgramTest, MirrorRunMakesTheTargetLikeTheStart) {
    // The command line in pieces and as one quoted argument.
    const std::vector<Lines> calls = {
        {"--ja", "/Startordner|%S", "/Zielordner|%T", "/Regel|Endgültig"},
        {"/Startordner|%S /Zielordner|%T /Regel|Endgültig", "--yes"},
    };
    for (Lines call : calls) {
        SyncTrees t;
        for (std::string& a : call)
            for (auto [mark, path] : {std::pair{"%S", t.start}, std::pair{"%T", t.target}})
                if (const auto at = a.find(mark); at != std::string::npos)
                    a.replace(at, 2, path);
        SCOPED_TRACE(call[0] + " " + call[1]);
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

TEST_F(SyncProgramTest, WrongCallsExitWithTwoAndHelpWithZeroChangingNothing) {
    SyncTrees t;
    const std::string s = "/Startordner|" + t.start, z = "/Zielordner|" + t.target;
    // One call for each way out before a run; which rule or path is wrong, and the
    // message for it, is the command line's and the folder check's own business.
    const struct {
        Lines arguments;
        int exitCode;
        std::string message; // on standard output with 0, on standard error otherwise
    } cases[] = {
        {{"--help"}, 0, "Aufruf: gleichwart-sync [Optionen] '/Startordner|ORDNER'"},
        {{s, z, "/Regel|Gibtsnicht"}, 2, "Die Regel: Gibtsnicht\nexistiert nicht !!\n"},
        {{s + "/fehlt", z, "/Regel|Endgültig"},
         2,
         "Der Startpfad: \"" + t.start + "/fehlt\"existiert nicht !!\n"},
        {{"--ja", "--gibtsnicht", s, z, "/Regel|Endgültig"}, 2, "Unbekannte Option: --gibtsnicht"},
        {{}, 2, "Es wurde nichts angegeben."},
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

TEST_F(SyncProgramTest, DeletingNeedsJaWhereNoTerminalCanAsk) {
    SyncTrees t;
    const ChildResult r = RunSync(t.parts("Endgültig"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Es wird nichts gelöscht (1 Datei)"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(t.target + "/nur_im_ziel.txt"), "weg");
    EXPECT_EQ(ReadFile(t.target + "/neu.txt"), "neu"); // the copies are made all the same
    EXPECT_EQ(ReadFile(t.target + "/sub/geaendert.txt"), "neue Fassung");
}

TEST_F(SyncProgramTest, ACopyThatFailsGivesOneWithItsReason) {
    SyncTrees t;
    t.tree.text("start/gesperrt/a.txt", "a", UnixTime(10, 0, 0));
    const std::string locked = t.tree.folder("target/gesperrt");
    // The program runs as a user who owns the home and the target but may not write in one
    // folder of it.
    if (::geteuid() == 0) {
        for (const std::string& root : {home.path(), t.target}) {
            for (const auto& e : fs::recursive_directory_iterator(root))
                ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
            ASSERT_EQ(::chown(root.c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chown(locked.c_str(), 0, 0), 0);
    }
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const ChildResult r = RunSync(t.parts("Aktualisieren"), {.unprivileged = true});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("Folgende Dateien konnten nicht kopiert werden:\n  " + t.start +
                         "/gesperrt/a.txt -> " + locked + "/a.txt: Zieldatei: Zugriff verweigert."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(SummaryValue(r.out, "Fehlgeschlagen:"), "1 Datei");
    EXPECT_EQ(SummaryValue(r.out, "Kopiert:"), "2 Dateien (15 B)");
    EXPECT_EQ(ReadFile(t.target + "/neu.txt"), "neu");
    EXPECT_FALSE(fs::exists(locked + "/a.txt"));
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
    // Stopped as soon as the first copies are in place.
    const auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::distance(fs::directory_iterator(t.target + "/viele"), fs::directory_iterator()) ==
               kFiles / 2 &&
           std::chrono::steady_clock::now() < waitUntil)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(::kill(program.pid(), SIGTERM), 0);
    ::kill(program.pid(), SIGINT); // a second signal changes nothing
    const ChildResult r = program.finish();

    EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Synchronisierung abgebrochen"), std::string::npos) << r.out;
    // Every file is either complete or as it was.
    int complete = 0, untouched = 0;
    for (int k = 0; k < kFiles; ++k) {
        const std::string path = t.target + "/viele/" + std::to_string(k) + ".dat";
        const std::string content = fs::exists(path) ? ReadFile(path) : "(fehlt)";
        if (content == std::string(kSize, 'x')) {
            ++complete;
        } else {
            EXPECT_EQ(content, k % 2 == 0 ? "alt" : "(fehlt)") << path;
            ++untouched;
        }
    }
    EXPECT_GT(complete, 0);
    EXPECT_GT(untouched, 0) << "the run was not stopped";
    EXPECT_EQ(TemporaryFiles(t.target), Lines{});
    EXPECT_EQ(ReadFile(t.target + "/nur_im_ziel.txt"), "weg");
}

} // namespace
