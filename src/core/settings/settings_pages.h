// What each page of the settings sheet does with what its controls hold when
// the user confirms the sheet: check it, then store it in the record. The
// window side reads the controls and shows the result; everything that
// decides lives here.
#ifndef VNTRA_SETTINGS_SETTINGS_PAGES_H
#define VNTRA_SETTINGS_SETTINGS_PAGES_H

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "settings/page_controls.h"
#include "store/settings_record.h"

namespace vntra {

// How many characters the number fields are read with.
const size_t PORT_READ_LENGTH = 7;
const size_t SHORT_NUMBER_READ_LENGTH = 3; // alarm minutes, expiry days
const int PORT_MIN = 1;
const int PORT_MAX = 30000;
const int FONT_SIZE_MIN = 8;
const int FONT_SIZE_MAX = 20;
const int MAIL_SIZE_CHOICE_COUNT = 4;

// A number typed into an edit field: leading blanks are skipped, the next
// read_length characters are all that is read, then an optional sign and the
// digits up to the first other character. No digits give 0.
int read_number(std::string_view text, size_t read_length);

// An edit field's text as a field of `width` bytes stores it: cut to
// width - 1 bytes, never inside a double-byte character.
std::string field_text(std::string_view text, size_t width);

// The outcome of a page's apply. A failure names its message and the control
// that gets the focus; the record is then untouched.
struct PageResult {
    const char* message = nullptr;
    PageControl focus = NO_CONTROL;
    // The port messages are shown without an owner window.
    bool owned_by_page = true;

    bool ok() const { return message == nullptr; }
};

struct MailPageInput {
    std::string server;
    std::string port;
    std::string sender;
    std::string recipient;
    std::string recipient2;
    int size_choice = 0; // 1..4 from the checked radio button, 0 when none is
    bool send_todo = false;
};
PageResult apply_mail_page(const MailPageInput& input, SettingsRecord& settings);

struct FontPageInput {
    // The selected face as the font list shows it; empty when the list has
    // no selection (the stored face is not installed).
    std::string face;
    int size = 0; // 0 when no size is selected
};
// Cannot fail; what has no selection keeps its stored value.
void apply_font_page(const FontPageInput& input, SettingsRecord& settings);

void apply_startup_page(bool notify_today, SettingsRecord& settings);

struct AlarmPageInput {
    std::string minutes;
    std::string wav_file;
};
PageResult apply_alarm_page(const AlarmPageInput& input, SettingsRecord& settings);

struct DataPageInput {
    std::string days;
    std::string folder;
};
PageResult apply_data_page(const DataPageInput& input, SettingsRecord& settings);

struct PopPageInput {
    bool enabled = false;
    std::string server;
    std::string port;
    std::string account;
    std::string password;
};
PageResult apply_pop_page(const PopPageInput& input, SettingsRecord& settings);

// The four items of the special format, in the order start date, end date,
// content, place.
const int FORMAT_ITEM_COUNT = 4;
struct FormatPageInput {
    bool enabled = false;
    bool checked[FORMAT_ITEM_COUNT] = {};
    std::string text[FORMAT_ITEM_COUNT];
};
PageResult apply_format_page(const FormatPageInput& input, SettingsRecord& settings);
// The item's flag and text field in the record.
int32_t& format_flag(SettingsRecord& settings, int item);
char* format_text_field(SettingsRecord& settings, int item, size_t* width);

// Saves `updated` with the live record's timed mail progress (never an older
// copy of it); only when the file took it does it become the live record. The message for a failed
// save is SETTINGS_SAVE_FAILED_TEXT.
bool save_page(const std::filesystem::path& settings_path, SettingsRecord& live,
               const SettingsRecord& updated);
const char SETTINGS_SAVE_FAILED_TEXT[] =
    "設定ファイル（vntraini.fil）に書き込めないため、このページの設定を保存できませんでした。";

// The openers keep a copy of the record and, when no page was applied, put
// back its fields from the start up to (not including) the given offset.
// The tray keeps everything but the two fields of the later layout; the
// calendar window the mail, font, alarm, data, ToDo and POP settings.
const size_t TRAY_COPY_END = offsetof(SettingsRecord, notify_today_at_startup);
const size_t CALENDAR_COPY_END = offsetof(SettingsRecord, format_enabled);
void put_back_fields(SettingsRecord& live, const SettingsRecord& copy, size_t end_offset);

} // namespace vntra

#endif
