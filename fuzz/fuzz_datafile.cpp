// SPDX-License-Identifier: BSD-3-Clause
// Feeds arbitrary bytes to the service's data-file reader. Whatever it accepts must survive a
// write and a second read unchanged, so that a file the service takes is a file it can keep.

#include "BackupStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const StoreResult<ServiceData> parsed = BackupStore::parse(document);
    if (!parsed) {
        if (parsed.errorReason() != StoreError::Damaged || parsed.errorText().isEmpty())
            std::abort();
        return 0;
    }
    const StoreResult<ServiceData> again
        = BackupStore::parse(BackupStore::serialize(parsed.value()));
    if (!again)
        std::abort();
    const TimeCard& a = parsed.value().card;
    const TimeCard& b = again.value().card;
    if (a.revision != b.revision || a.tmcardId != b.tmcardId || a.name != b.name
        || a.enabled != b.enabled || a.targetCyclic != b.targetCyclic || a.dir != b.dir
        || a.maxThroughputBytes != b.maxThroughputBytes || a.maxRangeMinutes != b.maxRangeMinutes
        || !(a.cameras == b.cameras) || a.timeFrameXml != b.timeFrameXml
        || !(a.intervals == b.intervals) || !(parsed.value().inventory == again.value().inventory))
        std::abort();
    return 0;
}
