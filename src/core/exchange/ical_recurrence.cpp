#include "exchange/ical_recurrence.h"

#include <algorithm>
#include <string>

#include "exchange/ical_time.h"

namespace vntra {
namespace {

const char* const WEEKDAY_NAMES[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
// Rules that would run for longer than any calendar means them to are
// refused as malformed.
const int32_t MAX_INTERVAL = 10000;
const int32_t MAX_COUNT = 1000000;
const int32_t LAST_YEAR = 9999;

std::string upper_text(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

bool read_int(std::string_view text, int32_t low, int32_t high, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 7)
        return false;
    int32_t number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    value = negative ? -number : number;
    return value >= low && value <= high;
}

bool read_weekday(std::string_view text, int32_t& weekday) {
    for (int32_t i = 0; i < 7; ++i)
        if (text == WEEKDAY_NAMES[i]) {
            weekday = i;
            return true;
        }
    return false;
}

template <typename Item, typename Reader>
bool read_list(std::string_view value, std::vector<Item>& items, Reader read) {
    items.clear();
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string_view::npos)
            comma = value.size();
        Item item{};
        if (!read(value.substr(start, comma - start), item))
            return false;
        items.push_back(item);
        start = comma + 1;
    }
    return !items.empty();
}

// The nonzero numbers of a list part within ±limit.
bool read_signed_list(std::string_view value, int32_t limit, std::vector<int32_t>& items) {
    return read_list(value, items, [limit](std::string_view text, int32_t& number) {
        return read_int(text, -limit, limit, number) && number != 0;
    });
}

bool read_weekday_rule(std::string_view text, WeekdayRule& rule) {
    if (text.size() < 2 || !read_weekday(text.substr(text.size() - 2), rule.weekday))
        return false;
    rule.ordinal = 0;
    std::string_view number = text.substr(0, text.size() - 2);
    return number.empty() || (read_int(number, -53, 53, rule.ordinal) && rule.ordinal != 0);
}

RecurrenceParse apply_part(std::string_view name, std::string_view value, RecurrenceRule& rule,
                           bool& has_frequency) {
    if (name == "FREQ") {
        has_frequency = true;
        if (value == "DAILY")
            rule.frequency = RECUR_DAILY;
        else if (value == "WEEKLY")
            rule.frequency = RECUR_WEEKLY;
        else if (value == "MONTHLY")
            rule.frequency = RECUR_MONTHLY;
        else if (value == "YEARLY")
            rule.frequency = RECUR_YEARLY;
        else if (value == "SECONDLY" || value == "MINUTELY" || value == "HOURLY")
            return RECURRENCE_UNSUPPORTED;
        else
            return RECURRENCE_MALFORMED;
        return RECURRENCE_OK;
    }
    bool read = true;
    if (name == "INTERVAL") {
        read = read_int(value, 1, MAX_INTERVAL, rule.interval);
    } else if (name == "COUNT") {
        read = read_int(value, 1, MAX_COUNT, rule.count);
    } else if (name == "UNTIL") {
        IcalTime until;
        read = parse_ical_time_value(value, until);
        rule.has_until = read;
        rule.until = until.clock;
        rule.until_is_date = until.form == ICAL_DATE;
        rule.until_is_utc = until.form == ICAL_UTC;
    } else if (name == "BYDAY") {
        read = read_list(value, rule.by_day, read_weekday_rule);
    } else if (name == "BYMONTHDAY") {
        read = read_signed_list(value, 31, rule.by_month_day);
    } else if (name == "BYMONTH") {
        read = read_list(value, rule.by_month, [](std::string_view text, int32_t& month) {
            return read_int(text, 1, 12, month);
        });
    } else if (name == "BYSETPOS") {
        read = read_signed_list(value, 366, rule.by_set_pos);
    } else if (name == "WKST") {
        read = read_weekday(value, rule.week_start);
    } else if (name == "BYHOUR" || name == "BYMINUTE" || name == "BYSECOND" ||
               name == "BYYEARDAY" || name == "BYWEEKNO" || name == "RSCALE" || name == "SKIP") {
        return RECURRENCE_UNSUPPORTED;
    } else if (name.substr(0, 2) != "X-") {
        return RECURRENCE_MALFORMED;
    }
    return read ? RECURRENCE_OK : RECURRENCE_MALFORMED;
}

// One day as the filters look at it.
struct DayFacts {
    int64_t days;
    int32_t month;
    int32_t month_day;
    int32_t month_length;
    int32_t weekday;
    int32_t year_day; // 1-based
    int32_t year_length;
};

class Expander {
  public:
    Expander(const RecurrenceRule& rule, int64_t start, const ExpansionLimits& limits,
             std::vector<int64_t>& starts)
        : rule_(rule), start_(start), limits_(limits), starts_(starts) {
        start_day_ = days_of_seconds(start);
        time_of_day_ = start - start_day_ * SECONDS_PER_DAY;
        civil_from_days(start_day_, start_year_, start_month_, start_month_day_);
        set_defaults();
    }

    bool run() {
        starts_.clear();
        if (emit(start_) != GO)
            return !overflow_;
        for (int64_t k = first_period(); walk_period(k); ++k) {
        }
        return !overflow_;
    }

  private:
    enum Emitted { GO, STOP };

    void set_defaults() {
        by_month_ = rule_.by_month;
        by_month_day_ = rule_.by_month_day;
        by_day_ = rule_.by_day;
        bool ordinals_apply = rule_.frequency == RECUR_MONTHLY || rule_.frequency == RECUR_YEARLY;
        if (!ordinals_apply)
            for (WeekdayRule& day : by_day_)
                day.ordinal = 0;
        if (by_day_.empty() && by_month_day_.empty()) {
            int32_t weekday = weekday_of_days(start_day_);
            switch (rule_.frequency) {
            case RECUR_YEARLY:
                if (by_month_.empty())
                    by_month_.push_back(start_month_);
                by_month_day_.push_back(start_month_day_);
                break;
            case RECUR_MONTHLY:
                by_month_day_.push_back(start_month_day_);
                break;
            case RECUR_WEEKLY:
                by_day_.push_back({0, weekday});
                break;
            case RECUR_DAILY:
                break;
            }
        }
        // Ordinals count within the month unless a yearly rule names no month.
        ordinals_in_year_ = rule_.frequency == RECUR_YEARLY && by_month_.empty();
        week_first_day_ = start_day_ - (weekday_of_days(start_day_) - rule_.week_start + 7) % 7;
    }

    // Without a count, periods wholly before the kept range need not be
    // walked: start one period before the one holding limits.first.
    int64_t first_period() const {
        if (rule_.count != 0 || limits_.first <= start_)
            return 0;
        int64_t first_day = days_of_seconds(limits_.first);
        int32_t y = 0, m = 0, d = 0;
        civil_from_days(first_day, y, m, d);
        int64_t units = 0;
        switch (rule_.frequency) {
        case RECUR_DAILY:
            units = first_day - start_day_;
            break;
        case RECUR_WEEKLY:
            units = (first_day - week_first_day_) / 7;
            break;
        case RECUR_MONTHLY:
            units = (int64_t{y} * 12 + m) - (int64_t{start_year_} * 12 + start_month_);
            break;
        case RECUR_YEARLY:
            units = y - start_year_;
            break;
        }
        return std::max<int64_t>(0, units / rule_.interval - 1);
    }

    Emitted emit(int64_t at) {
        if (rule_.count != 0 && counted_ >= rule_.count)
            return STOP;
        if (at > limits_.until || at > limits_.last)
            return STOP;
        ++counted_;
        if (at >= limits_.first) {
            if (starts_.size() >= limits_.max_kept) {
                overflow_ = true;
                return STOP;
            }
            starts_.push_back(at);
        }
        return GO;
    }

    DayFacts facts(int64_t days) const {
        DayFacts f{};
        int32_t year = 0;
        f.days = days;
        civil_from_days(days, year, f.month, f.month_day);
        f.month_length = gregorian_days_in_month(year, f.month);
        f.weekday = weekday_of_days(days);
        f.year_day = static_cast<int32_t>(days - days_from_civil(year, 1, 1)) + 1;
        f.year_length = gregorian_days_in_month(year, 2) == 29 ? 366 : 365;
        return f;
    }

    bool matches(const DayFacts& f) const {
        if (!by_month_.empty() &&
            std::find(by_month_.begin(), by_month_.end(), f.month) == by_month_.end())
            return false;
        if (!by_month_day_.empty()) {
            bool found = false;
            for (int32_t day : by_month_day_)
                found = found ||
                        (day > 0 ? f.month_day == day : f.month_day == f.month_length + day + 1);
            if (!found)
                return false;
        }
        if (!by_day_.empty()) {
            int32_t position = ordinals_in_year_ ? f.year_day : f.month_day;
            int32_t length = ordinals_in_year_ ? f.year_length : f.month_length;
            int32_t from_start = (position - 1) / 7 + 1;
            int32_t from_end = -((length - position) / 7 + 1);
            bool found = false;
            for (const WeekdayRule& day : by_day_)
                found =
                    found ||
                    (day.weekday == f.weekday &&
                     (day.ordinal == 0 || day.ordinal == from_start || day.ordinal == from_end));
            if (!found)
                return false;
        }
        return true;
    }

    void add_range(int64_t first, int64_t last, std::vector<int64_t>& days) const {
        for (int64_t day = first; day <= last; ++day)
            if (matches(facts(day)))
                days.push_back(day);
    }

    // The days of period k that the rule picks, in order. False past the end.
    bool period_days(int64_t k, std::vector<int64_t>& days) const {
        days.clear();
        int64_t step = k * rule_.interval;
        int64_t first = 0;
        switch (rule_.frequency) {
        case RECUR_DAILY:
            first = start_day_ + step;
            add_range(first, first, days);
            break;
        case RECUR_WEEKLY:
            first = week_first_day_ + step * 7;
            add_range(first, first + 6, days);
            break;
        case RECUR_MONTHLY: {
            int64_t index = int64_t{start_year_} * 12 + (start_month_ - 1) + step;
            if (index / 12 > LAST_YEAR)
                return false;
            int32_t year = static_cast<int32_t>(index / 12);
            int32_t month = static_cast<int32_t>(index % 12) + 1;
            first = days_from_civil(year, month, 1);
            add_range(first, first + gregorian_days_in_month(year, month) - 1, days);
            break;
        }
        case RECUR_YEARLY: {
            if (start_year_ + step > LAST_YEAR)
                return false;
            int32_t year = static_cast<int32_t>(start_year_ + step);
            first = days_from_civil(year, 1, 1);
            for (int32_t month = 1; month <= 12; ++month) {
                if (!by_month_.empty() &&
                    std::find(by_month_.begin(), by_month_.end(), month) == by_month_.end())
                    continue;
                int64_t month_first = days_from_civil(year, month, 1);
                add_range(month_first, month_first + gregorian_days_in_month(year, month) - 1,
                          days);
            }
            break;
        }
        }
        if (first * SECONDS_PER_DAY > limits_.last || first > days_from_civil(LAST_YEAR, 12, 31))
            return false;
        if (!rule_.by_set_pos.empty())
            select_positions(days);
        return true;
    }

    void select_positions(std::vector<int64_t>& days) const {
        std::vector<int64_t> chosen;
        int64_t size = static_cast<int64_t>(days.size());
        for (int32_t position : rule_.by_set_pos) {
            int64_t index = position > 0 ? position - 1 : size + position;
            if (index >= 0 && index < size)
                chosen.push_back(days[static_cast<size_t>(index)]);
        }
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        days.swap(chosen);
    }

    bool walk_period(int64_t k) {
        if (!period_days(k, days_))
            return false;
        for (int64_t day : days_) {
            int64_t at = day * SECONDS_PER_DAY + time_of_day_;
            if (at <= start_)
                continue;
            if (emit(at) != GO)
                return false;
        }
        return true;
    }

    const RecurrenceRule& rule_;
    int64_t start_;
    const ExpansionLimits& limits_;
    std::vector<int64_t>& starts_;
    int64_t start_day_ = 0;
    int64_t time_of_day_ = 0;
    int32_t start_year_ = 0;
    int32_t start_month_ = 0;
    int32_t start_month_day_ = 0;
    int64_t week_first_day_ = 0;
    std::vector<int32_t> by_month_;
    std::vector<int32_t> by_month_day_;
    std::vector<WeekdayRule> by_day_;
    bool ordinals_in_year_ = false;
    int32_t counted_ = 0;
    bool overflow_ = false;
    std::vector<int64_t> days_;
};

} // namespace

RecurrenceParse parse_recurrence_rule(std::string_view value, RecurrenceRule& rule) {
    rule = RecurrenceRule{};
    std::string text = upper_text(value);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    bool has_frequency = false;
    RecurrenceParse worst = RECURRENCE_OK;
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t end = rest.find(';');
        std::string_view part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (part.empty())
            continue;
        size_t equals = part.find('=');
        if (equals == std::string_view::npos)
            return RECURRENCE_MALFORMED;
        RecurrenceParse parsed =
            apply_part(part.substr(0, equals), part.substr(equals + 1), rule, has_frequency);
        if (parsed == RECURRENCE_MALFORMED)
            return parsed;
        if (parsed == RECURRENCE_UNSUPPORTED)
            worst = parsed;
    }
    if (!has_frequency)
        return RECURRENCE_MALFORMED;
    return worst;
}

bool expand_recurrence(const RecurrenceRule& rule, int64_t start, const ExpansionLimits& limits,
                       std::vector<int64_t>& starts) {
    return Expander(rule, start, limits, starts).run();
}

} // namespace vntra
