// gleichwart-sync as a process, as a timer or a script starts it: no terminal.
#include "run_test_support.h"
#include "sync_fixture.h"
#include "unprivileged.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> With(std::vector<std::string> parts, const std::string& option) {
    parts.insert(parts.begin(), option);
    return parts;
}

TEST_F(SyncProgramTest, DryRunListsWhatWouldHappenAndChangesNothing) {
    const struct {
        const char* rule;
        const char* option;
        Lines targetLines; // besides the two start files to copy
    } cases[] = {
        {"Aktualisieren", "--vorschau", {}},
        {"Endgültig", "--dry-run", {"- %T/nur_im_ziel.txt"}},
        {"Beide Richtungen", "--vorschau", {"< %T/nur_im_ziel.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        SyncTrees t;
        const auto before = Snapshot(t.tree.root());
        const ChildResult r = RunSync(With(t.parts(c.rule), c.option));
        Lines expected = {"+ " + t.start + "/neu.txt", "+ " + t.start + "/sub/geaendert.txt"};
        for (std::string line : c.targetLines)
            expected.push_back(line.replace(2, 2, t.target));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(SortedLines(r.out), expected);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Snapshot(t.tree.root()), before);
    }
}

TEST_F(SyncProgramTest, MirrorRunMakesTheTargetLikeTheStart) {
    // The command line in pieces, as one quoted argument, and with keys and the rule name in
    // other letter cases.
    const std::vector<std::vector<std::string>> calls = {
        {"--ja", "/Startordner|%S", "/Zielordner|%T", "/Regel|Endgültig"},
        {"/Startordner|%S /Zielordner|%T /Regel|Endgültig", "--yes"},
        {"--ja", "--leise", "/STARTORDNER|%S", "/zielordner|%T", "/REGEL|ENDGÜLTIG"},
    };
    for (const auto& call : calls) {
        SyncTrees t;
        std::vector<std::string> arguments;
        for (std::string a : call) {
            for (auto [mark, path] : {std::pair{"%S", t.start}, std::pair{"%T", t.target}})
                if (const auto at = a.find(mark); at != std::string::npos)
                    a.replace(at, 2, path);
            arguments.push_back(a);
        }
        SCOPED_TRACE(arguments.back());
        const auto startBefore = Snapshot(t.start);
        const ChildResult r = RunSync(arguments);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Snapshot(t.target), startBefore);
        EXPECT_EQ(Snapshot(t.start), startBefore);
        EXPECT_EQ(r.err, "");
        if (call[1] == "--leise") {
            EXPECT_EQ(r.out, "");
        } else {
            EXPECT_NE(r.out.find("Synchronisierung beendet"), std::string::npos) << r.out;
            EXPECT_EQ(SummaryValue(r.out, "Kopiert:"), "2 Dateien (15 B)");
            EXPECT_EQ(SummaryValue(r.out, "Gelöscht:"), "1 Datei");
            EXPECT_EQ(SummaryValue(r.out, "Fehlgeschlagen:"), "0 Dateien");
        }
    }
}

TEST_F(SyncProgramTest, WrongCallsChangeNothingAndExitWithTwo) {
    SyncTrees t;
    const std::string s = t.start, z = t.target;
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"/Startordner|" + s, "/Zielordner|" + z, "/Regel|Gibtsnicht"},
         "Die Regel: Gibtsnicht\nexistiert nicht !!\n"},
        {{"/Startordner|" + s, "/Zielordner|" + z}, "Es wurde keine Regel angegeben !!\n"},
        {{"/Startordner|" + s, "/Zielordner|" + z, "/Regel"}, "Es wurde keine Regel angegeben"},
        {{"/Startordner|" + s + "/fehlt", "/Zielordner|" + z, "/Regel|Endgültig"},
         "Der Startpfad: \"" + s + "/fehlt\"existiert nicht !!\n"},
        {{"/Zielordner|" + z, "/Regel|Endgültig"}, "Es wurde kein Startpfad angegeben !!\n"},
        {{"/Startordner|" + s, "/Zielordner|" + s + "/sub", "/Regel|Endgültig"},
         "liegt innerhalb des Startpfads !!"},
        {{"--ja", "--gibtsnicht", "/Startordner|" + s, "/Zielordner|" + z, "/Regel|Endgültig"},
         "Unbekannte Option: --gibtsnicht"},
        {{}, "Es wurde nichts angegeben."},
    };
    const auto before = Snapshot(t.tree.root());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ChildResult r = RunSync(c.arguments);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(Snapshot(t.tree.root()), before);
}

TEST_F(SyncProgramTest, HelpAndVersionAnswerWithoutRunning) {
    ChildResult r = RunSync({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* text : {"Aufruf: gleichwart-sync", "--vorschau", "Beispiel:", "'/Regel|",
                             "Rückgabewerte:", "  3  "})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
    r = RunSync({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::string("gleichwart-sync ") + GLEICHWART_VERSION + "\n");
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
        for (const auto& e : fs::recursive_directory_iterator(home.path()))
            ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(home.path().c_str(), 65534, 65534), 0);
        for (const auto& e : fs::recursive_directory_iterator(t.target))
            ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(t.target.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(locked.c_str(), 0, 0), 0);
    }
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    ChildOptions options;
    options.unprivileged = true;
    const ChildResult r = RunSync(t.parts("Aktualisieren"), options);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("Folgende Dateien konnten nicht kopiert werden:\n  " + t.start +
                         "/gesperrt/a.txt -> " + locked + "/a.txt: "),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Zugriff verweigert"), std::string::npos) << r.err;
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
    ChildProcess program(With(t.parts("Endgültig"), "--ja"));
    // Stopped as soon as the first copies are in place.
    const auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const auto countInTarget = [&] {
        return std::distance(fs::directory_iterator(t.target + "/viele"), fs::directory_iterator());
    };
    while (countInTarget() == kFiles / 2 && std::chrono::steady_clock::now() < waitUntil)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(::kill(program.pid(), SIGTERM), 0);
    ::kill(program.pid(), SIGINT); // a second signal changes nothing
    const ChildResult r = program.finish();

    EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
    EXPECT_NE(r.out.find("Synchronisierung abgebrochen"), std::string::npos) << r.out;
    int complete = 0, untouched = 0;
    for (int k = 0; k < kFiles; ++k) {
        const std::string path = t.target + "/viele/" + std::to_string(k) + ".dat";
        if (!fs::exists(path)) {
            EXPECT_NE(k % 2, 0) << path;
            ++untouched;
        } else if (const std::string content = ReadFile(path); content == "alt") {
            ++untouched;
        } else {
            EXPECT_EQ(content, std::string(kSize, 'x')) << path;
            ++complete;
        }
    }
    EXPECT_GT(complete, 0);
    EXPECT_GT(untouched, 0) << "the run was not stopped";
    EXPECT_EQ(TemporaryFiles(t.target), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(t.target + "/nur_im_ziel.txt"), "weg");
}

} // namespace
