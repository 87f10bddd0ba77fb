// Feeds random lines to the import's line check and holds every accepted
// record to the rules the rest of the program relies on.
#include <cstdint>
#include <cstring>
#include <string>

#include "calendar/date_arithmetic.h"
#include "exchange/import_line.h"
#include "text/sjis_cut.h"

namespace {

bool within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

// A fixed text field: terminated, and its text never ends inside a
// double-byte character.
template <size_t N> bool sound_field(const char (&field)[N]) {
    const char* end = static_cast<const char*>(std::memchr(field, '\0', N));
    if (!end)
        return false;
    std::string_view text(field, static_cast<size_t>(end - field));
    return vntra::sjis_cut_length(text, text.size()) == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    vntra::ScheduleRecord r;
    const char* message = vntra::check_import_line(line, r);
    if (!sound_field(r.content) || !sound_field(r.place))
        __builtin_trap();
    if (message)
        return 0;
    bool sound = within(r.kind, 1, 5) && r.content[0] != '\0' && within(r.start_year, 2001, 9999) &&
                 within(r.start_month, 1, 12) &&
                 within(r.start_day, 1, vntra::days_in_month(r.start_year, r.start_month)) &&
                 within(r.end_month, 1, 12) &&
                 within(r.end_day, 1, vntra::days_in_month(r.end_year, r.end_month)) &&
                 r.end_year * 10000 + r.end_month * 100 + r.end_day >=
                     r.start_year * 10000 + r.start_month * 100 + r.start_day &&
                 r.id == 0 && r.alarm_state == 0 && r.reminder_state == 0;
    if (r.kind == vntra::KIND_TIME_RANGE)
        sound = sound && r.start_minute % 5 == 0 && r.end_minute % 5 == 0 &&
                r.start_hour * 100 + r.start_minute <= r.end_hour * 100 + r.end_minute;
    if (!sound)
        __builtin_trap();
    return 0;
}
