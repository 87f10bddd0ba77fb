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

// Counts the records that pass, copies them with their sort keys and sorts.
template <typename Filter> ScheduleList build_sorted_list(const DataFile& store, Filter&& passes) {
    size_t matching = 0;
    scan_records(store, [&](const ScheduleRecord& record) {
        if (passes(record))
            ++matching;
    });
    ScheduleList list;
    list.reserve(matching);
    scan_records(store, [&](const ScheduleRecord& record) {
        if (list.size() < matching && passes(record)) {
            ScheduleListEntry& entry = list.emplace_back();
            entry.record = record;
            make_sort_key(record, entry.key);
        }
    });
    sort_list(list);
    return list;
}

} // namespace vntra

#endif
