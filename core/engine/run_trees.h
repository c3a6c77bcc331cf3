#pragma once

#include "platform/folder_chain.h"

// Both roots of a run, opened once; every folder below them is reached from these.
struct RunTrees {
    explicit RunTrees(platform::FileOps& ops)
        : startRead(ops), startWrite(ops), targetRead(ops), targetWrite(ops) {}
    platform::FolderChain startRead, startWrite, targetRead, targetWrite;
};
