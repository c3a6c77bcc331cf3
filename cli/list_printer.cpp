#include "list_printer.h"

#include "action_lines.h"
#include "engine/sync_session.h"

std::size_t PrintLists(const SyncSession& session, std::FILE* out, bool nullEnds) {
    const auto PrintEntry = [&](char mark, const MyFile& f) {
        PrintActionLine(out, mark, f.FolderView(), f.Name(), nullEnds);
    };
    std::size_t lines = 0;
    for (const MyFile* f : session.CopyList) {
        if (f->Selected || f->IsConflict()) {
            PrintEntry(!f->Selected ? '?' : f->IsStart ? '+' : '<', *f);
            ++lines;
        }
    }
    if (session.CurrentRule.deletesOnTarget()) {
        for (const MyFile* f : session.DeleteList) {
            if (f->Selected) {
                PrintEntry('-', *f);
                ++lines;
            }
        }
    }
    return lines;
}
