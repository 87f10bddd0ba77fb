// The day list rebuilds itself from the whole data file after every new
// entry, change and deletion; this measures that refresh on a large file.
#include <benchmark/benchmark.h>

#include "editing/day_view.h"
#include "large_data_file.h"

namespace vntra {
namespace {

void BM_DayListRefreshOver100kRecords(benchmark::State& state) {
    std::filesystem::path path = bench_folder() / "day-list.fil";
    write_large_data_file(path);
    DataFile store{path, 0};
    load_record_count(store);
    size_t rows = 0;
    for (auto _ : state) {
        DayView view = build_day_view(store, {2014, 3, 10});
        rows = view.rows.size();
        benchmark::DoNotOptimize(view.rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_DayListRefreshOver100kRecords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vntra
