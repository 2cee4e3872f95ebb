// The PC store as a whole: backup and restore.
#include "Exports.h"

#include "Store.h"

#include <cstdio>

using namespace lumacore;

namespace lumacore {

Store &pcStore()
{
    static Store store;
    return store;
}

}  // namespace lumacore

namespace {

uint16_t openedStore() { return pcStore().ensureOpen(); }

}  // namespace

MEC_STATUS _MEC_BackUpDBToFile(const char *path)
{
    if (!path || !*path)
        return kStatusError;
    uint16_t status = openedStore();
    if (status == kStatusOk)
        status = pcStore().backupTo(path);
    if (status != kStatusOk)
        std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    return status;
}

MEC_STATUS _MEC_LoadDBFromFile(const char *path)
{
    if (!path || !*path)
        return kStatusError;
    uint16_t status = openedStore();
    if (status == kStatusOk)
        status = pcStore().restoreFrom(path);
    if (status != kStatusOk)
        std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    return status;
}

MEC_STATUS _MEC_BeginStoreBatch(void)
{
    uint16_t status = openedStore();
    if (status == kStatusOk)
        status = pcStore().beginBatch();
    if (status != kStatusOk)
        std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    return status;
}

MEC_STATUS _MEC_EndStoreBatch(void)
{
    uint16_t status = pcStore().endBatch();
    if (status != kStatusOk)
        std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    return status;
}
