// What the calendar window shows for one month: the day cells with their
// shading and borders, the schedule rows with their "★" marks, the ToDo rows,
// and the captions around them. The window only puts these on screen.
#ifndef VNTRA_CALENDAR_WINDOW_MONTH_VIEW_H
#define VNTRA_CALENDAR_WINDOW_MONTH_VIEW_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/date_arithmetic.h"
#include "store/data_file.h"
#include "store/schedule_keys.h"
#include "store/sorted_list.h"

namespace vntra {

struct YearMonth {
    int32_t year;
    int32_t month;
};

// The earliest month the window pages back to.
const YearMonth FIRST_SHOWN_MONTH = {2001, 1};

// One month back; false (and no change) at the earliest month.
bool step_to_previous_month(YearMonth& shown);
void step_to_next_month(YearMonth& shown);

// The selected day as it stays when the window pages: kept, but never past
// the shown month's last day, since it becomes the date a new entry or a
// ToDo item's reminder starts from (the 31st paged into April is the 30th).
int day_within_month(YearMonth shown, int day);

// The days the "★" marks, as "%04d%02d%02d" texts compared byte by byte.
struct MarkPeriod {
    std::string first_key;
    std::string last_key;
};

// MARK_THIS_MONTH: today's month; MARK_THIS_WEEK: Sunday to Saturday around
// today; MARK_TODAY: today. Any other value is taken as the week, the default.
MarkPeriod mark_period(const LocalDate& today, int32_t mark_range);

// The mark range whose radio button shows checked: the value itself, or the
// week for a value out of range, as mark_period takes it.
int32_t shown_mark_range(int32_t mark_range);

// The row of a dated entry without its mark; the date and time fill the first
// 20 bytes, then two blanks, then content "：" place. Empty for other kinds.
std::string month_line_text(const ScheduleRecord& record);

// "★ " before the line when the entry touches the period, else "　 ".
std::string marked_row_text(const ScheduleRecord& record, const MarkPeriod& period);

// Dated entries (kinds 1–5) whose start month ≤ the shown month ≤ end month.
bool listed_in_month(const ScheduleRecord& record, YearMonth shown);

const int DAY_MARK_COUNT = 32; // indexed by day 1–31

// Sets the marks of the days of the shown month that the entry covers.
void mark_covered_days(const ScheduleRecord& record, YearMonth shown,
                       int32_t (&day_marks)[DAY_MARK_COUNT]);

struct MonthView {
    YearMonth shown;
    int cells[MONTH_CELL_COUNT]; // day numbers, 0 for an empty cell
    int first_weekday;
    bool week5_exists;
    bool week6_exists;
    bool week_exists(int week) const;  // weeks 1–4 always; 5 and 6 as the rows go
    int32_t day_marks[DAY_MARK_COUNT]; // 1 where some listed entry covers the day
    ScheduleList entries;              // sorted by sort key; row i is entries[i]
    std::vector<std::string> rows;
};

MonthView build_month_view(const DataFile& store, YearMonth shown, const LocalDate& today,
                           int32_t mark_range);

struct TodoView {
    ScheduleList entries; // ordered by id; row i is entries[i]
    std::vector<std::string> rows;
};

TodoView build_todo_view(const DataFile& store);

// "%d件のＴｏＤｏも送信します" when ToDo items go out with the mails, else "".
std::string todo_notice_text(size_t todo_count, int32_t send_todo);

// The send button names the first recipient, cut to 20 bytes.
std::string send_button_caption(const char* recipient_address);

// How a header or a day cell is shaded.
enum CellShade {
    SHADE_NEUTRAL,  // headers 月…金 and empty cells
    SHADE_PLAIN,    // weekdays
    SHADE_TODAY,    // today's cell
    SHADE_HOLIDAY,  // 日, Sundays and holidays
    SHADE_SATURDAY, // 土 and Saturdays
};
const int CELL_SHADE_COUNT = 5;

struct RgbColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

RgbColour shade_colour(CellShade shade);
CellShade header_shade(int column);
// cell_index is 0–41 (column = index % 7); day is the number the cell holds.
CellShade cell_shade(YearMonth shown, int cell_index, int day, const LocalDate& today);

} // namespace vntra

#endif
