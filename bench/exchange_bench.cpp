// The CSV import and export on a large scale: 100,000 lines into an empty
// data file, and 100,000 records out of one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/exchange_texts.h"

namespace vntra {
namespace {

const int32_t LINE_COUNT = 100000;

std::filesystem::path bench_folder() {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vntra-exchange-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// Lines of every kind as a spreadsheet would save them, some with quoted
// commas and a tenth with a quoted cell of two lines (Alt+Enter), spread
// over 2001–2027.
void write_large_csv(const std::filesystem::path& path) {
    std::string text = std::string(CSV_HEADER_LINE) + "\r\n";
    char line[256];
    for (int32_t i = 0; i < LINE_COUNT; ++i) {
        int year = 2001 + i % 27;
        int month = 1 + i / 27 % 12;
        int day = 1 + i % 28;
        if (i % 10 == 3) {
            std::snprintf(line, sizeof line,
                          "%d,%d,%d,5,,,,,,,\"打合せ\r\n議題：\"\"予算\"\"\",\"本社\r\n３階\"\r\n",
                          year, month, day);
            text += line;
            continue;
        }
        switch (i % 5) {
        case 0:
            std::snprintf(line, sizeof line, "%d,%d,%d,1,9,%d,10,30,,,定例会議,本社会議室\r\n",
                          year, month, day, i % 60);
            break;
        case 1:
            std::snprintf(line, sizeof line, "%d,%d,%d,2,,,,,%d,28,\"出張,大阪\",大阪支店\r\n",
                          year, month, day, month);
            break;
        default:
            std::snprintf(line, sizeof line, "%d,%d,%d,%d,0,0,0,0,0,0,打合せ,\r\n", year, month,
                          day, i % 5 + 1);
            break;
        }
        text += line;
    }
    FilePtr file = open_file(path, "wb");
    std::fwrite(text.data(), 1, text.size(), file.get());
}

void BM_Import100kLines(benchmark::State& state) {
    std::filesystem::path folder = bench_folder();
    std::filesystem::path input = folder / "import.csv";
    write_large_csv(input);
    int32_t imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DataFile store{folder / DATA_FILE_NAME, 0};
        create_data_file(store.path);
        state.ResumeTiming();
        ImportResult result = import_schedule_file(store, input, folder / "vntraerr.csv");
        imported = result.imported;
        if (result.imported != LINE_COUNT || result.rejected != 0)
            state.SkipWithError("not every line was imported");
    }
    state.counters["imported"] = imported;
}
BENCHMARK(BM_Import100kLines)->Unit(benchmark::kMillisecond);

void BM_Export100kRecords(benchmark::State& state) {
    std::filesystem::path folder = bench_folder();
    std::filesystem::path input = folder / "import.csv";
    write_large_csv(input);
    DataFile store{folder / "export-source.fil", 0};
    create_data_file(store.path);
    import_schedule_file(store, input, folder / "vntraerr.csv");
    int32_t exported = 0;
    for (auto _ : state) {
        ExportStatus status =
            export_schedule(store, folder / "export.csv",
                            {wide_date_key(2001, 1, 1), wide_date_key(2030, 12, 31)}, exported);
        if (status != EXPORT_OK || exported != LINE_COUNT)
            state.SkipWithError("not every record was exported");
    }
    state.counters["exported"] = exported;
}
BENCHMARK(BM_Export100kRecords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vntra
