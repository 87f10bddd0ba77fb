// What the editing flows share: a program with its mail settings filled in
// and the calendar open, the entry dialog and the day list reached through
// it, and the slots of the data file read back field by field.
#ifndef VNTRA_GUI_EDITING_SESSION_H
#define VNTRA_GUI_EDITING_SESSION_H

#include <string>
#include <vector>

#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {

inline const std::wstring ENTRY_TITLE = L"ｽｹｼﾞｭｰﾙ・ＴｏＤｏ 登録";
inline const std::wstring DAY_LIST_TITLE = L"ｽｹｼﾞｭｰﾙ一覧";

inline std::wstring number(int value) {
    return std::to_wstring(value);
}

// Record fields by their offsets in a slot.
enum Offset : size_t {
    AT_ID = 0,
    AT_KIND = 4,
    AT_START_YEAR = 8,
    AT_START_MONTH = 12,
    AT_START_DAY = 16,
    AT_START_HOUR = 20,
    AT_START_MINUTE = 24,
    AT_END_YEAR = 28,
    AT_END_MONTH = 32,
    AT_END_DAY = 36,
    AT_END_HOUR = 40,
    AT_END_MINUTE = 44,
    AT_CONTENT = 48,
    AT_PLACE = 113,
    AT_ALARM_STATE = 180,
    AT_ALARM_LEAD = 184,
    AT_REMINDER_STATE = 188,
    AT_REMINDER_YEAR = 192,
    AT_REMINDER_MONTH = 196,
    AT_REMINDER_DAY = 200,
    AT_REMINDER_HOUR = 204,
    AT_REMINDER_MINUTE = 208,
};

struct Field {
    size_t offset;
    int32_t value;
};

inline void check_slot(const std::string& bytes, int id, std::initializer_list<Field> fields) {
    for (const Field& f : fields) {
        int32_t seen = slot_int(bytes, id, f.offset);
        GUI_CHECK_MSG(seen == f.value, "slot " + std::to_string(id) + " offset " +
                                           std::to_string(f.offset) + ": " + std::to_string(seen) +
                                           " instead of " + std::to_string(f.value));
    }
}

inline std::string slot_text(const std::string& bytes, int id, size_t offset) {
    size_t at = 12 + static_cast<size_t>(id - 1) * sizeof(ScheduleRecord) + offset;
    return at < bytes.size() ? std::string(bytes.c_str() + at) : std::string();
}

struct Session {
    std::filesystem::path folder;
    Program program;
    HWND calendar = nullptr;

    DWORD pid() const { return program.process_id(); }
    std::filesystem::path data_file() const { return folder / "vntradata.fil"; }
};

// A program whose mail settings are filled in, with the calendar open.
inline bool start_session(Session& s, const std::string& name,
                          const std::vector<ScheduleRecord>& records = {}) {
    s.folder = fresh_program_folder(name);
    SettingsRecord settings = mail_ready_settings(s.folder);
    settings.alarm_minutes = 7;
    settings.notify_today_at_startup = 0;
    write_settings(s.folder, settings);
    if (!records.empty())
        write_records(s.data_file(), records);
    if (!s.program.start(s.folder))
        return false;
    s.calendar = s.program.open_calendar();
    GUI_CHECK(s.calendar != nullptr);
    return s.calendar != nullptr;
}

inline void end_session(Session& s) {
    ::PostMessageW(s.calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(s.calendar));
    GUI_CHECK(s.program.exit_from_tray());
}

// Clicks the cell that shows `day` in the calendar's month.
inline HWND open_day_list(Session& s, int day) {
    for (int cell = 0; cell < 42; ++cell) {
        if (item_text(s.calendar, IDC_FIRST_CELL + cell) != number(day))
            continue;
        click_on_area(s.calendar, IDC_FIRST_CELL + cell);
        HWND list = find_window(DAY_LIST_TITLE, s.pid());
        GUI_CHECK(list != nullptr);
        GUI_CHECK(list && !::IsWindowVisible(s.calendar));
        return list;
    }
    GUI_CHECK_MSG(false, "no cell shows day " + std::to_string(day));
    return nullptr;
}

inline HWND open_entry(Session& s, HWND opener, int button) {
    click(opener, button);
    HWND entry = find_window(ENTRY_TITLE, s.pid());
    GUI_CHECK(entry != nullptr);
    return entry;
}

inline bool press_ok(HWND entry) {
    click(entry, IDC_ENTRY_OK);
    return wait_gone(entry);
}

// Closes the box with this title and returns its message ("" when none came).
inline std::wstring answer_box(Session& s, const std::wstring& title, int button = IDOK) {
    HWND box = find_window(title, s.pid());
    if (!box)
        return {};
    std::wstring text = static_texts(box);
    click(box, button);
    GUI_CHECK(wait_gone(box));
    return text;
}

} // namespace vntra::gui

#endif
