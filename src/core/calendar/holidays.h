// Japan's national holidays, as the law has stood in each year.
#ifndef VNTRA_CALENDAR_HOLIDAYS_H
#define VNTRA_CALENDAR_HOLIDAYS_H

namespace vntra {

const int HOLIDAY_NAME_SIZE = 128;

struct HolidayInfo {
    int is_holiday; // 1 for any holiday: named, 国民の休日 or 振り替え休日
    char name[HOLIDAY_NAME_SIZE];
    int year;
    int month;
    int day;
    int prev_year;
    int prev_month;
    int prev_day;
    int next_year;
    int next_month;
    int next_day;
};

// 1 and the name when the date is a named holiday; 0 leaves name untouched.
int named_holiday(int year, int month, int day, char (&name)[HOLIDAY_NAME_SIZE]);

HolidayInfo resolve_holiday(int year, int month, int day);

// The holiday's name or an empty text, in a buffer the next call overwrites.
const char* holiday_name(int year, int month, int day);

} // namespace vntra

#endif
