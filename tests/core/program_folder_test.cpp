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

// Icons beside the executable (a build folder, which wins over an installed tree), only in
// the share folder of the prefix (installed under any prefix), or neither (the prefix built
// for).
TEST(ProgramFolder, PicksTheFolderThatHoldsIcons) {
    for (const auto& [beside, inShare] : {std::pair{true, true}, {false, true}, {false, false}}) {
        TreeBuilder t;
        const std::string prefix = t.folder("prefix with blank");
        const std::string exe = t.folder("prefix with blank/" + kBinDir);
        if (beside)
            t.file("prefix with blank/" + kBinDir + "/Icons/gleichwart.svg");
        if (inShare)
            t.file("prefix with blank/" + kDataDir + "/Icons/gleichwart.svg");
        EXPECT_EQ(platform::ProgramFolderFor(exe), beside    ? exe
                                                   : inShare ? prefix + "/" + kDataDir
                                                             : kBuiltFor)
            << beside << inShare;
    }
}

} // namespace
