// A data file as years of use would leave it, shared by the benchmarks.
#ifndef VNTRA_BENCH_LARGE_DATA_FILE_H
#define VNTRA_BENCH_LARGE_DATA_FILE_H

#include <cstdio>
#include <filesystem>

#include "platform/file_io.h"
#include "store/data_file.h"

namespace vntra {

const int32_t LARGE_FILE_RECORDS = 100000;

inline std::filesystem::path bench_folder() {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vntra-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// 100,000 entries spread over 2001–2027, a tenth of them ToDo items and a
// twentieth deleted, as years of use would leave them. `adjust`, when given,
// changes each record before it is written.
inline void write_large_data_file(const std::filesystem::path& path,
                                  void (*adjust)(ScheduleRecord&) = nullptr) {
    create_data_file(path);
    FilePtr file = open_file(path, "rb+");
    std::fseek(file.get(), DATA_HEADER_SIZE, SEEK_SET);
    for (int32_t i = 1; i <= LARGE_FILE_RECORDS; ++i) {
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
        if (adjust)
            adjust(r);
        std::fwrite(&r, sizeof r, 1, file.get());
    }
    int32_t count = LARGE_FILE_RECORDS;
    std::fseek(file.get(), RECORD_COUNT_OFFSET, SEEK_SET);
    std::fwrite(&count, sizeof count, 1, file.get());
}

} // namespace vntra

#endif
