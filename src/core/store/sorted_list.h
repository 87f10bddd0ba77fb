// The sorted lists every view and mail builds afresh from the data file.
#ifndef VNTRA_STORE_SORTED_LIST_H
#define VNTRA_STORE_SORTED_LIST_H

#include <algorithm>
#include <cstring>
#include <vector>

#include "store/data_file.h"
#include "store/schedule_keys.h"

namespace vntra {

// A copy of a record followed by the text it sorts by, normally its sort key.
struct ScheduleListEntry {
    ScheduleRecord record;
    char key[LIST_KEY_SIZE];
};
static_assert(sizeof(ScheduleListEntry) == 212 + 256);
static_assert(offsetof(ScheduleListEntry, key) == 212);

using ScheduleList = std::vector<ScheduleListEntry>;

// Sorts by key, byte-wise ascending; equal keys keep their file order.
void sort_list(ScheduleList& list);

// Copies the records that pass with their sort keys and sorts them. One
// scan is enough: the list grows as it goes, so the count and the copies
// always come from the same reading of the file. `read_ok`, when given,
// tells whether the whole file was read (an empty list may be no answer).
template <typename Filter>
ScheduleList build_sorted_list(const DataFile& store, Filter&& passes, bool* read_ok = nullptr) {
    ScheduleList list;
    bool whole = scan_records(store, [&](const ScheduleRecord& record) {
        if (passes(record)) {
            ScheduleListEntry& entry = list.emplace_back();
            entry.record = record;
            make_sort_key(record, entry.key);
        }
    });
    if (read_ok)
        *read_ok = whole;
    sort_list(list);
    return list;
}

} // namespace vntra

#endif
