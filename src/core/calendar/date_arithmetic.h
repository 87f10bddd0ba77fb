// Weekdays, month lengths, month layouts and Julian day numbers. Dates are
// three plain ints; weekdays are 0 = Sunday … 6 = Saturday everywhere.
#ifndef VNTRA_CALENDAR_DATE_ARITHMETIC_H
#define VNTRA_CALENDAR_DATE_ARITHMETIC_H

namespace vntra {

const int MONTH_CELL_COUNT = 42; // six Sunday-first rows of seven

struct DateTimeParts {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

int day_of_week(int year, int month, int day);

// Every year divisible by 4 has a February of 29 days; stored data relies on it.
int days_in_month(int year, int month);

// Which occurrence (1-based) of `weekday` in its month the day is, assuming
// the day falls on that weekday.
int weekday_occurrence(int year, int month, int day, int weekday);

// Cell first_weekday + d − 1 holds day d; every other cell holds 0. Row r
// (1–6) is week r of the month.
void fill_month_cells(int year, int month, int (&cells)[MONTH_CELL_COUNT], int& first_weekday);

int julian_day(int year, int month, int day, int hour, int minute, int second,
               double& day_fraction);
DateTimeParts date_from_julian_day(int julian_day_number, double day_fraction);

} // namespace vntra

#endif
