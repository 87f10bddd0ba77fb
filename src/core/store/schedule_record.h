// One schedule entry or ToDo item, exactly as it lies in the data file.
#ifndef VNTRA_STORE_SCHEDULE_RECORD_H
#define VNTRA_STORE_SCHEDULE_RECORD_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/sjis_cut.h"

namespace vntra {

static_assert(std::endian::native == std::endian::little,
              "records are stored byte for byte in little-endian order");

enum ScheduleKind : int32_t {
    KIND_DELETED = 0,
    KIND_TIME_RANGE = 1,
    KIND_DATE_SPAN = 2,
    KIND_MORNING = 3,
    KIND_AFTERNOON = 4,
    KIND_ALL_DAY = 5,
    KIND_TODO = 6,
};

enum TriggerState : int32_t {
    TRIGGER_OFF = 0,
    TRIGGER_ARMED = 1,
    TRIGGER_DONE = 9,
};

const int CONTENT_SIZE = 65;
const int PLACE_SIZE = 67;

struct ScheduleRecord {
    int32_t id;
    int32_t kind;
    int32_t start_year;
    int32_t start_month;
    int32_t start_day;
    int32_t start_hour;
    int32_t start_minute;
    int32_t end_year;
    int32_t end_month;
    int32_t end_day;
    int32_t end_hour;
    int32_t end_minute;
    char content[CONTENT_SIZE];
    char place[PLACE_SIZE];
    int32_t alarm_state;
    int32_t alarm_lead_minutes;
    int32_t reminder_state;
    int32_t reminder_year;
    int32_t reminder_month;
    int32_t reminder_day;
    int32_t reminder_hour;
    int32_t reminder_minute;
};

static_assert(sizeof(ScheduleRecord) == 212);
static_assert(offsetof(ScheduleRecord, id) == 0);
static_assert(offsetof(ScheduleRecord, kind) == 4);
static_assert(offsetof(ScheduleRecord, start_year) == 8);
static_assert(offsetof(ScheduleRecord, start_month) == 12);
static_assert(offsetof(ScheduleRecord, start_day) == 16);
static_assert(offsetof(ScheduleRecord, start_hour) == 20);
static_assert(offsetof(ScheduleRecord, start_minute) == 24);
static_assert(offsetof(ScheduleRecord, end_year) == 28);
static_assert(offsetof(ScheduleRecord, end_month) == 32);
static_assert(offsetof(ScheduleRecord, end_day) == 36);
static_assert(offsetof(ScheduleRecord, end_hour) == 40);
static_assert(offsetof(ScheduleRecord, end_minute) == 44);
static_assert(offsetof(ScheduleRecord, content) == 48);
static_assert(offsetof(ScheduleRecord, place) == 113);
static_assert(offsetof(ScheduleRecord, alarm_state) == 180);
static_assert(offsetof(ScheduleRecord, alarm_lead_minutes) == 184);
static_assert(offsetof(ScheduleRecord, reminder_state) == 188);
static_assert(offsetof(ScheduleRecord, reminder_year) == 192);
static_assert(offsetof(ScheduleRecord, reminder_month) == 196);
static_assert(offsetof(ScheduleRecord, reminder_day) == 200);
static_assert(offsetof(ScheduleRecord, reminder_hour) == 204);
static_assert(offsetof(ScheduleRecord, reminder_minute) == 208);

// A record with every field zero and both texts empty.
ScheduleRecord blank_record();

// The slot left behind by a deletion: only the id survives.
ScheduleRecord deleted_record(int32_t id);

// Copies text into a fixed field, cut to fit and always terminated, with the
// bytes after the terminator cleared.
// A text too long is cut at a character boundary, never inside a double-byte
// character.
template <size_t N> void set_text(char (&field)[N], const std::string& text) {
    copy_to_field(field, N, text);
}

// The text of a fixed field up to its terminator, or the whole field when a
// damaged record has none.
template <size_t N> std::string field_text(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return std::string(field, length);
}

// The label a list shows for a kind ("時間指定" … "ＴｏＤｏ"), empty for others.
const char* kind_label(int32_t kind);

} // namespace vntra

#endif
