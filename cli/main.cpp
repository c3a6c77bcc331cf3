// gleichwart-sync: one synchronisation from the terminal, with the window's command line and
// rules; see --help.
#include "engine/texts.h"
#include "rule_listing.h"
#include "sync_command.h"
#include "sync_options.h"
#include "undo_command.h"

#include <cstdio>

int main(int argc, char** argv) {
    const SyncOptions options = ParseSyncOptions(argc, argv);
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s\n", options.error.c_str());
        return kExitWrongCall;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitDone;
    }
    if (options.listRules)
        return ListStoredRules(stdout);
    if (options.version) {
        std::printf("gleichwart-sync %s\n%s\nEs gibt keinerlei Garantie, soweit das Gesetz es "
                    "zulässt.\n",
                    GLEICHWART_VERSION, kLicenceLine);
        return kExitDone;
    }
    if (options.undo)
        return RunUndoCommand(options);
    return RunSyncCommand(options);
}
