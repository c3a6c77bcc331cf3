#include "list_printer.h"

#include "engine/sync_session.h"

namespace {

void PrintEntry(std::FILE* out, char mark, const MyFile& f) {
    std::fputc(mark, out);
    std::fputc(' ', out);
    std::fwrite(f.FolderView().data(), 1, f.FolderView().size(), out);
    std::fputs(f.Name(), out);
    std::fputc('\n', out);
}

} // namespace

std::size_t PrintLists(const SyncSession& session, std::FILE* out) {
    std::size_t lines = 0;
    for (const MyFile* f : session.CopyList) {
        if (f->Selected || f->IsConflict()) {
            PrintEntry(out, !f->Selected ? '?' : f->IsStart ? '+' : '<', *f);
            ++lines;
        }
    }
    if (session.CurrentRule.deletesOnTarget()) {
        for (const MyFile* f : session.DeleteList) {
            if (f->Selected) {
                PrintEntry(out, '-', *f);
                ++lines;
            }
        }
    }
    return lines;
}
