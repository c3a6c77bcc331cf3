#include "trash.h"

#include "trash_batch.h"

namespace platform {
namespace {

void MoveEntries(FileOps& ops, int dirFd, const std::string& folderPath, const std::string* names,
                 std::size_t count, const TrashPlaces& places, int* errors) {
    // One entry is flushed on its own; many share one flush of the whole file system.
    TrashBatch batch(ops, places, count == 1);
    std::vector<std::size_t> slots(count, 0);
    for (std::size_t i = 0; i < count; ++i)
        errors[i] = batch.Claim(dirFd, folderPath, names[i], slots[i]);
    batch.Flush();
    for (std::size_t i = 0; i < count; ++i) {
        if (errors[i] == 0)
            errors[i] = batch.Move(slots[i]);
    }
}

} // namespace

int MoveToTrash(FileOps& ops, int dirFd, const std::string& folderPath, const std::string& name,
                const TrashPlaces& places) {
    int error = 0;
    MoveEntries(ops, dirFd, folderPath, &name, 1, places, &error);
    return error;
}

void MoveAllToTrash(FileOps& ops, int dirFd, const std::string& folderPath,
                    const std::vector<std::string>& names, const TrashPlaces& places,
                    std::vector<int>& errors) {
    errors.assign(names.size(), 0);
    MoveEntries(ops, dirFd, folderPath, names.data(), names.size(), places, errors.data());
}

} // namespace platform
