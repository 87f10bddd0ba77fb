// The store has no index and no cache: every view rescans the whole data
// file. These measure that scan, and the exit compaction, on a large file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "large_data_file.h"
#include "store/compaction.h"
#include "store/sorted_list.h"

namespace vntra {
namespace {

void BM_MonthListFrom100kRecords(benchmark::State& state) {
    std::filesystem::path path = bench_folder() / DATA_FILE_NAME;
    write_large_data_file(path);
    DataFile store{path, 0};
    load_record_count(store);
    size_t listed = 0;
    for (auto _ : state) {
        ScheduleList list = build_sorted_list(store, [](const ScheduleRecord& r) {
            return r.kind <= KIND_ALL_DAY && overlaps_days(r, 20140301, 20140331);
        });
        listed = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_MonthListFrom100kRecords)->Unit(benchmark::kMillisecond);

void BM_CompactionOf100kRecords(benchmark::State& state) {
    std::filesystem::path folder = bench_folder();
    std::filesystem::path master = folder / "master.fil";
    write_large_data_file(master);
    CompactionPaths paths{folder / COMPACT_FILE_NAME, folder, folder};
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(master, folder / DATA_FILE_NAME,
                                   std::filesystem::copy_options::overwrite_existing);
        DataFile store{folder / DATA_FILE_NAME, 0};
        state.ResumeTiming();
        CompactionResult result = compact_data_file(store, paths, {2014, 6, 1}, 100);
        benchmark::DoNotOptimize(result.kept_records);
    }
}
BENCHMARK(BM_CompactionOf100kRecords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vntra
