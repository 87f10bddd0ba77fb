// Schedule mails: one item per entry (a list line or the user's special
// format), items packed whole into mails under the size limit, numbered
// subjects, and the command both mail buttons run.
#ifndef VNTRA_MAIL_SCHEDULE_MAIL_H
#define VNTRA_MAIL_SCHEDULE_MAIL_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mail/smtp_session.h"
#include "store/settings_record.h"
#include "store/sorted_list.h"

namespace vntra {

// One entry's part of a mail body. `size` is what packing counts: the length
// of the text as it arrives (half-width katakana are sent full-width, two
// bytes each), and for list lines and ToDo items one more.
struct MailItem {
    std::string text; // Shift-JIS, ends with CR LF (unless empty)
    int32_t size;
};

// Split positions of the list lines: where the date-and-time column ends.
const int MONTH_LINE_SPLIT = 20;
const int DAY_LINE_SPLIT = 17;
const int TEMPLATE_SCAN_END = 125;

// trunc(2^choice × 200): 400, 800, 1600, 3200 bytes for the choices 1 .. 4.
int32_t mail_limit_for_choice(int32_t choice);

// A list line (without its mark) as two lines: its date and time, then the
// rest. The two blanks at `split` become the first line end.
MailItem make_line_item(std::string_view line, int split);

// "yyyy", "mm", "dd", "hh" and "nn" starting in the first 125 bytes of the
// template become the digits of the date and time; all else is kept.
std::string expand_date_template(std::string_view format, int32_t year, int32_t month, int32_t day,
                                 int32_t hour, int32_t minute);

// The special format: start, end, content and place parts as the settings
// switch them on.
MailItem make_format_item(const ScheduleListEntry& entry, const SettingsRecord& settings);

MailItem make_todo_item(const ScheduleListEntry& entry);

// The plain subject of a mail that holds everything, and the numbered one for
// mails that are one of several.
struct SubjectSet {
    const char* plain;
    const char* numbered; // the plain one with " No.%d"
    int value_count;      // how many values the plain one takes
};
extern const SubjectSet MONTH_SUBJECTS; // month
extern const SubjectSet WEEK_SUBJECTS;  // month, week
extern const SubjectSet DAY_SUBJECTS;   // month, day
extern const SubjectSet TODO_SUBJECTS;  // —

struct SubjectValues {
    int32_t first = 0;
    int32_t second = 0;
};

// The number a mail's subject carries: 0 (the plain subject) when one mail
// holds everything, else 1, 2, … in order.
int32_t subject_number(size_t mail_count, size_t index);

// The plain subject when mail_number is 0, else the numbered one.
std::string make_subject(const SubjectSet& subjects, const SubjectValues& values,
                         int32_t mail_number);

// Items packed in order into mail bodies: a mail takes the next item while
// its sizes stay within the limit; an item is never split, so an item larger
// than the limit travels alone. Always at least one body.
struct PackedMail {
    std::string body;
    int32_t used;
};
std::vector<PackedMail> pack_items(const std::vector<MailItem>& items, int32_t limit);

// One mail ready to go: its subject and body (Shift-JIS, lines in CR LF).
struct OutgoingMail {
    std::string subject;
    std::string body;
};

// The items packed into mails with their subjects: the plain subject when one
// mail holds them all, else the numbered ones in order.
std::vector<OutgoingMail> compose_mails(const std::vector<MailItem>& items, int32_t limit,
                                        const SubjectSet& subjects, const SubjectValues& values);

// Packs and sends the items, in progress mode; the plain subject when one
// mail holds them all, else the numbered subjects. The number of mails sent,
// or -1 when a send failed (the later ones are not tried) or the window asked
// to stop before the next mail.
int send_in_chunks(MailContext& context, const std::vector<MailItem>& items, int32_t limit,
                   const SubjectSet& subjects, const SubjectValues& values);

// What a mail command sends: the schedule entries (with the list lines shown
// for them, row i belonging to entries[i]) and the ToDo items.
struct ScheduleMailSource {
    std::span<const ScheduleListEntry> entries;
    std::span<const std::string> rows; // without marks; used unless the special format is on
    int split_position = MONTH_LINE_SPLIT;
    std::span<const ScheduleListEntry> todo_entries;
};

// The source's schedule items (its rows as two-line items, or the special
// format when the settings switch it on), and its ToDo items.
std::vector<MailItem> schedule_items(const ScheduleMailSource& source,
                                     const SettingsRecord& settings);
std::vector<MailItem> todo_items(std::span<const ScheduleListEntry> todo_entries);

// The whole mail command of the calendar window and the day list. True when
// it ran to its result message; false when it stopped early (settings still
// incomplete, nothing to send, a failed send), having said why where needed.
bool send_schedule_mails(MailContext& context, const ScheduleMailSource& source,
                         const SubjectSet& subjects, const SubjectValues& values);

} // namespace vntra

#endif
