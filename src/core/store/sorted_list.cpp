#include "store/sorted_list.h"

#include <numeric>

namespace vntra {

void sort_list(ScheduleList& list) {
    // Entries are large; sort their positions, then move each entry once.
    std::vector<size_t> order(list.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return std::strcmp(list[a].key, list[b].key) < 0; });
    ScheduleList sorted;
    sorted.reserve(list.size());
    for (size_t index : order)
        sorted.push_back(list[index]);
    list.swap(sorted);
}

} // namespace vntra
