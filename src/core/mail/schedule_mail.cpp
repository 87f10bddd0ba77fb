#include "mail/schedule_mail.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "mail/iso2022jp.h"
#include "mail/mail_settings_check.h"
#include "store/schedule_record.h"
#include "text/sjis_cut.h"
#include "text/trim_spaces.h"

namespace vntra {
namespace {

// The value in exactly `width` digits (the last ones, for a value that
// would need more), so that a replacement never changes the text's length.
std::string fixed_digits(int32_t value, int width) {
    int64_t modulus = width == 4 ? 10000 : 100;
    int64_t kept = (static_cast<int64_t>(value) % modulus + modulus) % modulus;
    char text[8];
    std::snprintf(text, sizeof text, "%0*d", width, static_cast<int>(kept));
    return text;
}

// What the phone receives is counted, not what we hold: half-width katakana
// arrive full-width.
int32_t sent_size(std::string_view text) {
    size_t size = arriving_length(text);
    return size > INT32_MAX - 1 ? INT32_MAX - 1 : static_cast<int32_t>(size);
}

int32_t clamped_sum(const std::vector<MailItem>& items) {
    int64_t total = 0;
    for (const MailItem& item : items)
        total += item.size;
    return total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
}

} // namespace

const SubjectSet MONTH_SUBJECTS = {"%d月のスケジュール", "%d月のスケジュール No.%d", 1};
const SubjectSet WEEK_SUBJECTS = {"%d月第%d週のスケジュール", "%d月第%d週のスケジュール No.%d", 2};
const SubjectSet DAY_SUBJECTS = {"%d月%d日のスケジュール", "%d月%d日のスケジュール No.%d", 2};
const SubjectSet TODO_SUBJECTS = {"ＴｏＤｏリスト", "ＴｏＤｏリスト No.%d", 0};

int32_t mail_limit_for_choice(int32_t choice) {
    double limit = std::trunc(std::pow(2.0, choice) * 200.0);
    // Hand-edited settings may hold any choice; keep the limit an int.
    return limit > INT32_MAX ? INT32_MAX : static_cast<int32_t>(limit);
}

MailItem make_line_item(std::string_view line, int split) {
    std::string text(line);
    if (split >= 0 && static_cast<size_t>(split) + 2 <= text.size()) {
        text[split] = '\r';
        text[split + 1] = '\n';
    }
    text += "\r\n";
    return MailItem{text, sent_size(text) + 1};
}

std::string expand_date_template(std::string_view format, int32_t year, int32_t month, int32_t day,
                                 int32_t hour, int32_t minute) {
    struct Pattern {
        const char* letters;
        int32_t value;
    };
    const Pattern patterns[] = {
        {"yyyy", year}, {"mm", month}, {"dd", day}, {"hh", hour}, {"nn", minute}};
    std::string text(format);
    size_t i = 0;
    while (i < text.size() && i < static_cast<size_t>(TEMPLATE_SCAN_END)) {
        // A double-byte character is one unit: its second byte may be a
        // letter ("ノ" is 0x83 'm') and must not start a pattern.
        if (is_sjis_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        for (const Pattern& pattern : patterns) {
            size_t length = std::strlen(pattern.letters);
            if (text.compare(i, length, pattern.letters) == 0) {
                text.replace(i, length, fixed_digits(pattern.value, static_cast<int>(length)));
                break;
            }
        }
        ++i;
    }
    return text;
}

MailItem make_format_item(const ScheduleListEntry& entry, const SettingsRecord& settings) {
    const ScheduleRecord& r = entry.record;
    std::string parts[4];
    if (settings.format_start_date == 1)
        parts[0] = expand_date_template(field_text(settings.start_date_format), r.start_year,
                                        r.start_month, r.start_day, r.start_hour, r.start_minute) +
                   "\r\n";
    if (settings.format_end_date == 1)
        parts[1] = expand_date_template(field_text(settings.end_date_format), r.end_year,
                                        r.end_month, r.end_day, r.end_hour, r.end_minute) +
                   "\r\n";
    if (settings.format_content == 1)
        parts[2] = field_text(settings.content_prefix) + field_text(r.content) + "\r\n";
    if (settings.format_place == 1)
        parts[3] = field_text(settings.place_prefix) + field_text(r.place) + "\r\n";
    std::string text;
    for (std::string& part : parts) {
        trim_spaces(part);
        text += part;
    }
    return MailItem{text, sent_size(text)};
}

MailItem make_todo_item(const ScheduleListEntry& entry) {
    std::string text = field_text(entry.record.content) + "\r\n";
    return MailItem{text, sent_size(text) + 1};
}

int32_t subject_number(size_t mail_count, size_t index) {
    return mail_count <= 1 ? 0 : static_cast<int32_t>(index + 1);
}

std::string make_subject(const SubjectSet& subjects, const SubjectValues& values,
                         int32_t mail_number) {
    const char* format = mail_number == 0 ? subjects.plain : subjects.numbered;
    int32_t args[3] = {values.first, values.second, 0};
    args[subjects.value_count] = mail_number;
    char text[128];
    std::snprintf(text, sizeof text, format, args[0], args[1], args[2]);
    return text;
}

std::vector<PackedMail> pack_items(const std::vector<MailItem>& items, int32_t limit) {
    std::vector<PackedMail> mails;
    PackedMail current{"", 0};
    bool holds_items = false;
    for (const MailItem& item : items) {
        if (holds_items && static_cast<int64_t>(current.used) + item.size > limit) {
            mails.push_back(std::move(current));
            current = PackedMail{"", 0};
        }
        current.body += item.text;
        current.used += item.size;
        holds_items = true;
    }
    mails.push_back(std::move(current));
    return mails;
}

std::vector<OutgoingMail> compose_mails(const std::vector<MailItem>& items, int32_t limit,
                                        const SubjectSet& subjects, const SubjectValues& values) {
    std::vector<PackedMail> packed = pack_items(items, limit);
    std::vector<OutgoingMail> mails;
    mails.reserve(packed.size());
    for (size_t i = 0; i < packed.size(); ++i)
        mails.push_back({make_subject(subjects, values, subject_number(packed.size(), i)),
                         std::move(packed[i].body)});
    return mails;
}

int send_in_chunks(MailContext& context, const std::vector<MailItem>& items, int32_t limit,
                   const SubjectSet& subjects, const SubjectValues& values) {
    std::vector<OutgoingMail> mails = compose_mails(items, limit, subjects, values);
    for (const OutgoingMail& mail : mails) {
        if (context.ui.stop_requested())
            return -1;
        if (!send_mail(context, mail.subject, mail.body, MAIL_PROGRESS))
            return -1;
    }
    return static_cast<int>(mails.size());
}

std::vector<MailItem> schedule_items(const ScheduleMailSource& source,
                                     const SettingsRecord& settings) {
    std::vector<MailItem> items;
    items.reserve(source.entries.size());
    for (size_t i = 0; i < source.entries.size(); ++i) {
        if (settings.format_enabled == 1)
            items.push_back(make_format_item(source.entries[i], settings));
        else
            items.push_back(make_line_item(i < source.rows.size() ? source.rows[i] : "",
                                           source.split_position));
    }
    return items;
}

std::vector<MailItem> todo_items(std::span<const ScheduleListEntry> todo_entries) {
    std::vector<MailItem> items;
    items.reserve(todo_entries.size());
    for (const ScheduleListEntry& entry : todo_entries)
        items.push_back(make_todo_item(entry));
    return items;
}

bool send_schedule_mails(MailContext& context, const ScheduleMailSource& source,
                         const SubjectSet& subjects, const SubjectValues& values) {
    MailUi& ui = context.ui;
    if (!check_mail_settings(ui, context.settings))
        return false;
    const SettingsRecord& settings = context.settings;
    size_t schedule_count = source.entries.size();
    size_t todo_count = source.todo_entries.size();
    bool with_todo = settings.send_todo == 1;
    if (with_todo && schedule_count + todo_count == 0) {
        ui.show_message(MESSAGE_ERROR, "スケジュール等がありません");
        return false;
    }
    if (!with_todo && schedule_count == 0) {
        ui.show_message(MESSAGE_ERROR, "スケジュールがありません");
        return false;
    }

    ui.enable_send_button(false);
    int32_t limit = mail_limit_for_choice(settings.mail_size_choice);
    context.progress.mail_limit_bytes = limit;
    auto send_batch = [&](const std::vector<MailItem>& items, const SubjectSet& batch_subjects,
                          const SubjectValues& batch_values) {
        context.progress.progress_total = clamped_sum(items);
        context.progress.progress_done = 0;
        ui.set_progress_range(context.progress.progress_total);
        int sent = send_in_chunks(context, items, limit, batch_subjects, batch_values);
        if (sent >= 0)
            ui.reset_progress();
        return sent;
    };

    int schedule_mails = 0;
    int todo_mails = 0;
    if (schedule_count > 0) {
        schedule_mails = send_batch(schedule_items(source, settings), subjects, values);
        if (schedule_mails < 0) {
            ui.enable_send_button(true);
            return false;
        }
    }
    if (with_todo && todo_count > 0) {
        todo_mails = send_batch(todo_items(source.todo_entries), TODO_SUBJECTS, SubjectValues{});
        if (todo_mails < 0) {
            ui.enable_send_button(true);
            return false;
        }
    }

    char message[160];
    if (schedule_mails > 0 && todo_mails == 0)
        std::snprintf(message, sizeof message, "%d件のスケジュールメールを送信しました",
                      schedule_mails);
    else if (schedule_mails > 0)
        std::snprintf(message, sizeof message,
                      "%d件のスケジュールメールと%d件のＴｏＤｏメールを送信しました",
                      schedule_mails, todo_mails);
    else
        std::snprintf(message, sizeof message, "%d件のＴｏＤｏメールを送信しました", todo_mails);
    ui.show_message(MESSAGE_NOTICE, message);
    ui.enable_send_button(true);
    return true;
}

} // namespace vntra
