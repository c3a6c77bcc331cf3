// Where the program finds its own files (Icons/ and the pictures beside it): in a build
// folder, in a tree laid out the way `cmake --install` lays it out under any prefix, and
// otherwise in the share folder it was built for.
#include "platform/system_info.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The install layout of this build, relative to the prefix (GNUInstallDirs), and the share
// folder of the prefix it is built for.
const std::string kBinDir = GLEICHWART_INSTALL_BINDIR;
const std::string kDataDir = std::string(GLEICHWART_INSTALL_DATADIR) + "/gleichwart";
const std::string kBuiltFor = GLEICHWART_INSTALL_FULL_DATADIR "/gleichwart";

enum class Found { BesideExecutable, InShare, BuiltFor };

struct FolderCase {
    const char* name;
    bool iconsBesideExecutable;
    bool iconsInShare;
    Found expected;
};

TEST(ProgramFolder, PicksTheFolderThatHoldsIcons) {
    const FolderCase cases[] = {
        {"a build folder", true, false, Found::BesideExecutable},
        {"a build folder wins over an installed tree", true, true, Found::BesideExecutable},
        {"installed under any prefix", false, true, Found::InShare},
        {"neither: the prefix built for", false, false, Found::BuiltFor},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        TreeBuilder t;
        const std::string prefix = t.folder("prefix with blank");
        const std::string exe = t.folder("prefix with blank/" + kBinDir);
        if (c.iconsBesideExecutable)
            t.file("prefix with blank/" + kBinDir + "/Icons/gleichwart.svg");
        if (c.iconsInShare)
            t.file("prefix with blank/" + kDataDir + "/Icons/gleichwart.svg");

        const std::string expected = c.expected == Found::BesideExecutable ? exe
                                     : c.expected == Found::InShare        ? prefix + "/" + kDataDir
                                                                           : kBuiltFor;
        EXPECT_EQ(platform::ProgramFolderFor(exe), expected);
    }
}

} // namespace
