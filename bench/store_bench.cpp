// The store has no index and no cache: every view rescans the whole data
// file. These measure that scan, and the exit compaction, on a large file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "store/compaction.h"
#include "store/sorted_list.h"

namespace vntra {
namespace {

const int32_t RECORD_COUNT = 100000;

std::filesystem::path bench_folder() {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vntra-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// 100,000 entries spread over 2001–2027, a tenth of them ToDo items and a
// twentieth deleted, as years of use would leave them.
void write_large_data_file(const std::filesystem::path& path) {
    create_data_file(path);
    FilePtr file = open_file(path, "rb+");
    std::fseek(file.get(), DATA_HEADER_SIZE, SEEK_SET);
    for (int32_t i = 1; i <= RECORD_COUNT; ++i) {
        ScheduleRecord r = blank_record();
        r.id = i;
        if (i % 20 == 0) {
            r.kind = KIND_DELETED;
        } else if (i % 10 == 0) {
            r.kind = KIND_TODO;
            set_text(r.content, "買い物リスト");
        } else {
            int32_t day_number = i % (27 * 360);
            r.kind = KIND_TIME_RANGE + i % 5;
            r.start_year = r.end_year = 2001 + day_number / 360;
            r.start_month = r.end_month = 1 + day_number / 30 % 12;
            r.start_day = r.end_day = 1 + day_number % 28;
            r.start_hour = 9;
            r.end_hour = 10;
            set_text(r.content, "定例会議の予定");
            set_text(r.place, "本社会議室");
        }
        std::fwrite(&r, sizeof r, 1, file.get());
    }
    int32_t count = RECORD_COUNT;
    std::fseek(file.get(), RECORD_COUNT_OFFSET, SEEK_SET);
    std::fwrite(&count, sizeof count, 1, file.get());
}

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
