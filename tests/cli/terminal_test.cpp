// gleichwart-sync typed in a terminal window: the delete question.
#include "sync_fixture.h"

#include <filesystem>

namespace {

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

} // namespace
