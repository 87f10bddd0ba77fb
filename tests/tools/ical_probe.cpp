// Drives the iCalendar import and export for the Python comparisons of the
// ical stage:
//   ical_probe import FILE.ics YYYYMMDD   prints each stored record as
//       "content<TAB>kind<TAB>sort key" (UTF-8), today being YYYYMMDD;
//   ical_probe export RECORDS OUT.ics     stores the records of RECORDS (one
//       a line: "kind sy sm sd sh smin ey em ed eh emin alarm lead<TAB>
//       content<TAB>place", UTF-8) and exports them all.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "exchange/ical_export.h"
#include "exchange/ical_import.h"
#include "platform/sjis_text.h"
#include "store/schedule_keys.h"

namespace vntra {
namespace {

int import_file(const char* input, const char* today_text) {
    LocalDate today{};
    if (std::sscanf(today_text, "%4d%2d%2d", &today.year, &today.month, &today.day) != 3)
        return 2;
    std::filesystem::path folder = std::filesystem::path(input).parent_path();
    DataFile store{folder / "probe-import.fil", 0};
    create_data_file(store.path);
    std::filesystem::remove(folder / "vntraical.fil");
    int64_t noon = days_from_civil(today.year, today.month, today.day) * SECONDS_PER_DAY + 43200;
    IcalImportOptions options{default_recurrence_window(today), noon, 0};
    IcalImportResult result =
        import_icalendar_file(store, input, folder / "probe-errors.csv", options);
    if (result.status != ICAL_IMPORT_FINISHED)
        return 1;
    scan_records(store, [](const ScheduleRecord& r) {
        std::cout << sjis_to_utf8(field_text(r.content)) << '\t' << r.kind << '\t'
                  << make_sort_key(r) << '\n';
    });
    return result.rejected == 0 ? 0 : 1;
}

int export_records(const char* records, const char* output) {
    std::filesystem::path folder = std::filesystem::path(output).parent_path();
    DataFile store{folder / "probe-export.fil", 0};
    create_data_file(store.path);
    std::ifstream in(records);
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        size_t second = line.find('\t', tab + 1);
        if (tab == std::string::npos || second == std::string::npos)
            return 2;
        ScheduleRecord r = blank_record();
        std::istringstream numbers(line.substr(0, tab));
        numbers >> r.kind >> r.start_year >> r.start_month >> r.start_day >> r.start_hour >>
            r.start_minute >> r.end_year >> r.end_month >> r.end_day >> r.end_hour >>
            r.end_minute >> r.alarm_state >> r.alarm_lead_minutes;
        set_text(r.content, utf8_to_sjis(line.substr(tab + 1, second - tab - 1)));
        set_text(r.place, utf8_to_sjis(line.substr(second + 1)));
        if (append_record(store, r) == 0)
            return 1;
    }
    LocalTimeStamp now{2025, 6, 1, 9, 30, 0, 0, 540};
    int32_t exported = 0;
    ExportRange everything{wide_date_key(2001, 1, 1), wide_date_key(9999, 12, 31)};
    return export_icalendar(store, output, everything, now, exported) == EXPORT_OK ? 0 : 1;
}

} // namespace
} // namespace vntra

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "import") == 0)
        return vntra::import_file(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "export") == 0)
        return vntra::export_records(argv[2], argv[3]);
    std::cerr << "usage: ical_probe import FILE.ics YYYYMMDD | export RECORDS OUT.ics\n";
    return 2;
}
