// gleichwart-sync typed in a terminal window: the delete question and the progress line.
#include "sync_fixture.h"

#include <filesystem>

namespace {

TEST_F(SyncProgramTest, TheDeleteQuestionIsAnsweredOnTheTerminal) {
    const struct {
        const char* rule;
        const char* answer;
        const char* question;
        bool deleted;
    } cases[] = {
        {"Endgültig", "j\n", "Soll diese Datei wirklich endgültig gelöscht werden? [j/N] ", true},
        {"Endgültig", " JA \n", "Soll diese Datei wirklich endgültig gelöscht werden?", true},
        {"Endgültig", "n\n", "Soll diese Datei wirklich endgültig gelöscht werden?", false},
        {"Endgültig", "\n", "Soll diese Datei wirklich endgültig gelöscht werden?", false},
        {"Endgültig", "jein\n", "Soll diese Datei wirklich endgültig gelöscht werden?", false},
        {"Papierkorb", "ja\n",
         "Soll diese Datei wirklich in den Papierkorb verschoben werden? [j/N] ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " " + c.answer);
        SyncTrees t;
        ChildOptions options;
        options.terminal = true;
        ChildProcess program(t.parts(c.rule), options);
        ASSERT_TRUE(program.waitForOutput(c.question, std::chrono::seconds(30)));
        program.type(c.answer);
        const ChildResult r = program.finish();
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(std::filesystem::exists(t.target + "/nur_im_ziel.txt"), !c.deleted);
        // The test's home lies on the same file system as the trees: its trash takes the file.
        const bool intoTrash = std::string(c.rule) == "Papierkorb";
        EXPECT_EQ(ReadFile(home.path() + "/data/Trash/files/nur_im_ziel.txt"),
                  intoTrash && c.deleted ? "weg" : "");
        EXPECT_EQ(SummaryValue(r.out, std::string(c.rule) == "Papierkorb" ? "In den Papierkorb:"
                                                                          : "Gelöscht:"),
                  c.deleted ? "1 Datei" : "0 Dateien");
        // The copies are made before the question in every case.
        EXPECT_EQ(ReadFile(t.target + "/neu.txt"), "neu");
        // The last state of the progress line stays on the terminal.
        EXPECT_NE(r.out.find("100% | 2 von 2 Dateien"), std::string::npos) << r.out;
    }
}

TEST_F(SyncProgramTest, WithJaNothingIsAskedOnTheTerminal) {
    SyncTrees t;
    ChildOptions options;
    options.terminal = true;
    std::vector<std::string> arguments = t.parts("Endgültig");
    arguments.push_back("--ja");
    const ChildResult r = ChildProcess(arguments, options).finish();
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.err.find("wirklich"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(t.target + "/nur_im_ziel.txt"));
}

} // namespace
