#include "calendar/date_arithmetic.h"

#include <cmath>

namespace vntra {

int day_of_week(int year, int month, int day) {
    // Zeller's congruence with January and February counted as months 13 and
    // 14 of the year before. Wide arithmetic and a non-negative remainder keep
    // a nonsense date from a damaged file or a hand-edited record in 0–6, so
    // a month layout built from it never indexes outside its cells.
    long long y = year;
    long long m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    long long w = (y + (13 * m + 8) / 5 + y / 4 - y / 100 + y / 400 + day) % 7;
    if (w < 0) {
        w += 7;
    }
    return static_cast<int>(w);
}

int days_in_month(int year, int month) {
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        // No century exception: the month lengths and day stepping of the
        // whole program, and the records already on disk, count 2100 as leap.
        return year % 4 == 0 ? 29 : 28;
    default:
        return 31;
    }
}

int weekday_occurrence(int year, int month, int day, int weekday) {
    int first = day_of_week(year, month, 1);
    int occurrence = (first + day - 1) / 7;
    if (weekday >= first) {
        occurrence += 1;
    }
    return occurrence;
}

void fill_month_cells(int year, int month, int (&cells)[MONTH_CELL_COUNT], int& first_weekday) {
    for (int& cell : cells) {
        cell = 0;
    }
    first_weekday = day_of_week(year, month, 1);
    int length = days_in_month(year, month);
    for (int d = 1; d <= length; ++d) {
        cells[first_weekday + d - 1] = d;
    }
}

int julian_day(int year, int month, int day, int hour, int minute, int second,
               double& day_fraction) {
    bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
    bool before_year_one = year <= 0;
    int y = year;
    int m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    // The day number changes at noon: a time before noon belongs to the
    // Julian day that began at the previous noon.
    int a;
    if (hour < 12) {
        day_fraction = 0.5;
        a = 0;
    } else {
        day_fraction = -0.5;
        a = 1;
    }
    day_fraction += (hour * 3600 + minute * 60 + second) * 1.1574074074074073e-05;
    a += (before_year_one ? y - 3 : y) / 4;
    if (gregorian) {
        a += y / 400 - y / 100 + 2;
    }
    return 365 * y + a + 30 * m + (3 * m + 3) / 5 + day + 1721024;
}

DateTimeParts date_from_julian_day(int julian_day_number, double day_fraction) {
    int j = julian_day_number;
    double f;
    if (day_fraction >= 0.5) {
        j += 1;
        f = day_fraction - 0.5;
    } else {
        f = day_fraction + 0.5;
    }
    if (j >= 2299161) {
        int alpha = static_cast<int>(std::floor((j - 1867216.25) / 36524.25));
        j = j + 1 + alpha - static_cast<int>(std::floor(alpha / 4.0));
    }
    int b = j + 1524;
    int q = static_cast<int>((b - 122.1) * 0.0027378507871321013);
    int r = 365 * q + q / 4;
    int e = static_cast<int>((b - r) * 0.03267963176590926);

    DateTimeParts parts{};
    parts.day = b - r - static_cast<int>(e * 30.6);
    parts.month = e - 1;
    parts.year = q - 4716;
    if (parts.month > 12) {
        parts.month -= 12;
        parts.year += 1;
    }
    int seconds = static_cast<int>(f * 86400 + 0.5);
    parts.hour = seconds / 3600;
    parts.minute = seconds % 3600 / 60;
    parts.second = seconds % 60;
    return parts;
}

} // namespace vntra
