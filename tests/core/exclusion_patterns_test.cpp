// Exclusion patterns in the syntax of ignore files: one table of patterns and paths, asked as
// the scanner asks (top-down, never below an excluded folder), and the same table put to git.
#include "rules/exclusion_patterns.h"
#include "temp_home.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {

struct Row {
    std::string patterns; // the lines of the list, as in an ignore file
    std::string path;     // below the root
    bool folder;
    bool excluded;
};

const Row kRows[] = {
    // Anchoring: a slash at the start or inside ties the pattern to the root.
    {"/build", "build", true, true},
    {"/build", "src/build", true, false},
    {"build", "src/build", true, true},
    {"src/build", "src/build", false, true},
    {"src/build", "x/src/build", false, false},
    {"/*.c", "a.c", false, true},
    {"/*.c", "src/a.c", false, false},
    {"src/*.c", "src/x/a.c", false, false},
    // Folders only.
    {"cache/", "cache", true, true},
    {"cache/", "cache", false, false},
    {"cache/", "a/cache", true, true},
    // "**" at the start, in the middle, at the end, and elsewhere.
    {"**/tmp", "tmp", false, true},
    {"**/tmp", "a/b/tmp", true, true},
    {"**/tmp", "a/xtmp", false, false},
    {"a/**/b", "a/b", false, true},
    {"a/**/b", "a/x/y/b", false, true},
    {"a/**/b", "x/a/b", false, false},
    {"logs/**", "logs", true, false},
    {"logs/**", "logs/2024", true, true},
    {"x/a**b", "x/a_b", false, true},
    {"x/a**b", "x/a/b", false, false},
    // The last matching line decides; a folder excluded stays so.
    {"*.log\n!wichtig.log", "a/wichtig.log", false, false},
    {"!*.log\n*.log", "fehler.log", false, true},
    {"logs/\n!logs/keep.log", "logs", true, true},
    {"logs/\n!logs/", "logs", true, false},
    // Escapes, comments, blank lines, spaces at the end, CR LF.
    {"\\#datei", "#datei", false, true},
    {"#datei", "#datei", false, false},
    {"\\!wichtig", "!wichtig", false, true},
    {"datei\\ ", "datei ", false, true},
    {"datei  ", "datei", false, true},
    {"\\*", "*", false, true},
    {"\\*", "x", false, false},
    {"# *.txt\n\n   \n*.log", "a.log", false, true},
    {"*.txt\r\n*.md\r\n", "a.txt", false, true},
    // Character classes.
    {"[abc].txt", "b.txt", false, true},
    {"[abc].txt", "d.txt", false, false},
    {"[a-c]1", "c1", false, true},
    {"[!abc].txt", "d.txt", false, true},
    {"[^abc].txt", "a.txt", false, false},
    {"[]x]", "]", false, true},
    {"[[:digit:]]x", "7x", false, true},
    {"[[:digit:]]x", "ax", false, false},
    {"a[bc", "ab", false, false},
    // Blanks, dots, case, bytes that are not UTF-8.
    {"mein ordner/", "mein ordner", true, true},
    {"*.tar.gz", "a.tar.gz", false, true},
    {"*.tmp", ".tmp", false, true},
    {"*.TXT", "a.txt", false, false},
    {".git/", "a/.git", true, true},
    {"?\xfe.bin", "\xff\xfe.bin", false, true},
    {"?.bin", "\xff\xfe.bin", false, false},
    {"[\xf0-\xff]*", "\xfe", false, true},
};

bool Ask(const ExclusionPatterns& patterns, const Row& row) {
    const std::size_t slash = row.path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return patterns.Excluded(std::string_view(row.path).substr(0, nameStart),
                             std::string_view(row.path).substr(nameStart), row.folder);
}

std::string Shown(const Row& row) {
    return "patterns \"" + row.patterns + "\", " + (row.folder ? "folder " : "file ") + row.path;
}

TEST(ExclusionPatterns, AnswersTheTable) {
    for (const Row& row : kRows)
        EXPECT_EQ(Ask(ExclusionPatterns::FromText(row.patterns), row), row.excluded) << Shown(row);
}

TEST(ExclusionPatterns, LinesAsAListAndListsThatExcludeNothing) {
    const auto list = ExclusionPatterns::Compile({"# Kommentar", "*.log", "!wichtig.log"});
    EXPECT_TRUE(list.Excluded("a/", "x.log", false));
    EXPECT_FALSE(list.Excluded("a/", "wichtig.log", false));
    EXPECT_TRUE(ExclusionPatterns::FromText("# nur Kommentar\n\n   \n!x\n[a\n").empty());
    EXPECT_FALSE(ExclusionPatterns::FromText("[a]").empty());
}

// The exit code of `git check-ignore` for the row's path, in `repo` holding nothing but the
// row's patterns as its ignore file and the path itself: 0 ignored, 1 not, else failed.
int GitAnswer(const std::filesystem::path& repo, const Row& row) {
    namespace fs = std::filesystem;
    for (const fs::directory_entry& entry : fs::directory_iterator(repo))
        if (entry.path().filename() != ".git")
            fs::remove_all(entry.path());
    WriteFile(repo / ".gitignore", row.patterns);
    fs::create_directories(row.folder ? repo / row.path : (repo / row.path).parent_path());
    if (!row.folder)
        WriteFile(repo / row.path, "");
    WriteFile(repo.parent_path() / "frage", row.path + '\0');
    const std::string command = "cd '" + repo.string() +
                                "' && GIT_DIR=.git GIT_CONFIG_NOSYSTEM=1 git -c "
                                "core.excludesFile=/dev/null check-ignore --no-index -z --stdin "
                                "<../frage >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ExclusionPatterns, GitAnswersTheTableAlike) {
    if (std::system("git --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "git is not installed";
    TreeBuilder tree;
    const std::string repo = tree.folder("repo");
    ASSERT_EQ(std::system(("git init -q --template= '" + repo + "'").c_str()), 0);
    for (const Row& row : kRows)
        EXPECT_EQ(GitAnswer(repo, row), row.excluded ? 0 : 1) << Shown(row);
}

} // namespace
