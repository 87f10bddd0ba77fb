// The settings sheet: its openers, what OK stores and saves, failing pages,
// the font list, the shortcuts and the calendar window's fonts.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <fstream>

#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

const int MAIL_TAB = 0;
const int FONT_TAB = 1;
const int STARTUP_TAB = 2;
const int ALARM_TAB = 3;
const int DATA_TAB = 4;
const int POP_TAB = 5;
const int FORMAT_TAB = 6;
const int TIMED_MAIL_TAB = 8;

// Settings whose every field differs from the defaults, so that a field a
// page must not touch shows up when it changes.
SettingsRecord unusual_settings() {
    SettingsRecord s{};
    std::strcpy(s.smtp_server, "old.smtp.example");
    std::strcpy(s.sender_address, "old@example.jp");
    std::strcpy(s.recipient_address, "old@phone.example");
    std::strcpy(s.recipient_address2, "old2@phone.example");
    s.mail_size_choice = 3;
    s.smtp_port = 2525;
    std::strcpy(s.font_face, shift_jis("IPAゴシック").c_str());
    s.font_size = 12;
    std::strcpy(s.alarm_wav_file, "C:\\alarm.wav");
    s.alarm_minutes = 7;
    s.expiry_days = 45;
    std::strcpy(s.backup_folder, "C:\\backup\\");
    s.send_todo = 1;
    s.pop_before_smtp = 0;
    std::strcpy(s.pop_server, "pop.example");
    s.pop_port = 0; // shown as 110 by the POP page
    std::strcpy(s.pop_account, "acct");
    std::strcpy(s.pop_password, " pw ");
    s.format_enabled = 1;
    s.format_start_date = 1;
    std::strcpy(s.start_date_format, "DATE:yyyy/mm/dd");
    s.notify_today_at_startup = 0;
    s.mark_range = MARK_TODAY;
    return s;
}

bool same_record(const SettingsRecord& a, const SettingsRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

HWND open_sheet_from_tray(Program& program) {
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_SETTINGS, 0);
    return find_window(L"設定", program.process_id());
}

} // namespace

GUI_TEST(settings_mail_page_alone_saves_only_its_fields) {
    std::filesystem::path folder = fresh_program_folder("settings_mail");
    SettingsRecord before = unusual_settings();
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND page = current_sheet_page(sheet);
    GUI_CHECK_TEXT(std::wstring(L"old.smtp.example"), item_text(page, IDC_SMTP_SERVER));
    GUI_CHECK(is_checked(page, 1078) && is_checked(page, IDC_SEND_TODO));
    set_item_text(page, IDC_SMTP_SERVER, L" smtp.example.jp ");
    set_item_text(page, IDC_SMTP_PORT, L"587");
    set_item_text(page, IDC_SENDER, L"me@example.jp");
    set_item_text(page, IDC_RECIPIENT, L"予定@phone.example");
    set_item_text(page, IDC_RECIPIENT2, L"");
    click_and_wait(page, IDC_SIZE_1600);
    click_and_wait(page, IDC_SEND_TODO);
    screenshot("settings_page_mail");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));

    SettingsRecord expected = before;
    std::memset(expected.smtp_server, 0, sizeof expected.smtp_server);
    std::strcpy(expected.smtp_server, "smtp.example.jp");
    std::memset(expected.sender_address, 0, sizeof expected.sender_address);
    std::strcpy(expected.sender_address, "me@example.jp");
    std::memset(expected.recipient_address, 0, sizeof expected.recipient_address);
    std::strcpy(expected.recipient_address, shift_jis("予定@phone.example").c_str());
    std::memset(expected.recipient_address2, 0, sizeof expected.recipient_address2);
    expected.mail_size_choice = 4;
    expected.smtp_port = 587;
    expected.send_todo = 0;
    GUI_CHECK(wait_until([&] { return same_record(expected, settings_in(folder)); }));
    GUI_CHECK(size_of_file(folder / "vntraini.fil") == SETTINGS_RECORD_SIZE);
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(settings_failing_pages_keep_the_sheet_open) {
    std::filesystem::path folder = fresh_program_folder("settings_failing");
    SettingsRecord before = unusual_settings();
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    DWORD pid = program.process_id();
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND mail = current_sheet_page(sheet);
    set_item_text(mail, IDC_SMTP_PORT, L"30001");
    HWND data = show_sheet_page(sheet, DATA_TAB);
    set_item_text(data, IDC_EXPIRY_DAYS, L"0");
    screenshot("settings_page_data");

    // OK on the data page: the mail page fails first and comes to the front,
    // its port field focused; nothing is saved.
    GUI_CHECK_TEXT(std::wstring(L"ポート番号が範囲外です"), ok_expecting_error(sheet, pid));
    GUI_CHECK(::IsWindowVisible(sheet));
    GUI_CHECK(current_sheet_page(sheet) == mail);
    GUI_CHECK(focus_reaches(sheet, IDC_SMTP_PORT));
    GUI_CHECK(same_record(before, settings_in(folder)));

    // Corrected, the mail page saves and the data page stops the chain.
    set_item_text(mail, IDC_SMTP_PORT, L"110");
    GUI_CHECK_TEXT(std::wstring(L"データ削除期限が指定されていません"),
                   ok_expecting_error(sheet, pid));
    GUI_CHECK(current_sheet_page(sheet) == data);
    GUI_CHECK(focus_reaches(sheet, IDC_EXPIRY_DAYS));
    SettingsRecord saved = settings_in(folder);
    GUI_CHECK(saved.smtp_port == 110);
    GUI_CHECK(saved.expiry_days == 45);

    // Cancel applies nothing more.
    click(sheet, IDCANCEL);
    GUI_CHECK(wait_gone(sheet));
    SettingsRecord after_cancel = settings_in(folder);
    GUI_CHECK(same_record(saved, after_cancel));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(settings_file_that_cannot_be_written_is_reported) {
    std::filesystem::path folder = fresh_program_folder("settings_unwritable");
    SettingsRecord before = unusual_settings();
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    // Held by another program, the file takes no save.
    HeldFile held(folder / "vntraini.fil");
    HWND alarm = show_sheet_page(sheet, ALARM_TAB);
    set_item_text(alarm, IDC_ALARM_MINUTES, L"1000");
    screenshot("settings_page_alarm");
    std::wstring message = ok_expecting_error(sheet, program.process_id());
    GUI_CHECK(message.find(L"保存できませんでした") != std::wstring::npos);
    GUI_CHECK(::IsWindowVisible(sheet));
    held.release();
    GUI_CHECK(same_record(before, settings_in(folder)));

    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(wait_until([&] { return settings_in(folder).alarm_minutes == 100; }));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(settings_pop_page_and_cancel_put_the_fields_back) {
    std::filesystem::path folder = fresh_program_folder("settings_pop");
    SettingsRecord before = unusual_settings();
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND pop = show_sheet_page(sheet, POP_TAB);
    GUI_CHECK_TEXT(std::wstring(L"110"), item_text(pop, IDC_POP_PORT));
    GUI_CHECK(!is_enabled(pop, IDC_POP_SERVER));
    click_and_wait(pop, IDC_POP_ENABLED);
    GUI_CHECK(is_enabled(pop, IDC_POP_SERVER) && is_enabled(pop, IDC_POP_PASSWORD));
    screenshot("settings_page_pop");
    HWND format = show_sheet_page(sheet, FORMAT_TAB);
    GUI_CHECK(is_checked(format, IDC_FORMAT_ENABLED) && is_checked(format, IDC_FORMAT_START_DATE));
    GUI_CHECK(is_enabled(format, IDC_START_DATE_FORMAT) &&
              !is_enabled(format, IDC_END_DATE_FORMAT));
    screenshot("settings_page_format");
    // Each field follows its own box: with the start date unticked, turning
    // the format off and on again leaves its field closed, though the record
    // still says it is shown.
    click_and_wait(format, IDC_FORMAT_START_DATE);
    GUI_CHECK(!is_enabled(format, IDC_START_DATE_FORMAT));
    click_and_wait(format, IDC_FORMAT_ENABLED);
    GUI_CHECK(!is_enabled(format, IDC_FORMAT_START_DATE) && !is_enabled(format, IDC_FORMAT_PLACE));
    click_and_wait(format, IDC_FORMAT_ENABLED);
    GUI_CHECK(is_enabled(format, IDC_FORMAT_START_DATE));
    GUI_CHECK(!is_checked(format, IDC_FORMAT_START_DATE));
    GUI_CHECK(!is_enabled(format, IDC_START_DATE_FORMAT));
    // A timed mail's minute opens with its switch.
    HWND timed = show_sheet_page(sheet, TIMED_MAIL_TAB);
    GUI_CHECK(!is_enabled(timed, IDC_DAILY_HOUR) && !is_enabled(timed, IDC_WEEKLY_WEEKDAY));
    click_and_wait(timed, IDC_DAILY_ON);
    GUI_CHECK(is_enabled(timed, IDC_DAILY_HOUR) && is_enabled(timed, IDC_DAILY_TOMORROW));
    screenshot("settings_page_timed_mail");
    click(sheet, IDCANCEL);
    GUI_CHECK(wait_gone(sheet));

    // The POP page set the port to 110 in memory; Cancel put it back, so a
    // later save of the mail page alone still writes 0.
    sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(
        wait_until([&] { return size_of_file(folder / "vntraini.fil") == SETTINGS_RECORD_SIZE; }));
    GUI_CHECK(same_record(before, settings_in(folder)));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(settings_font_reaches_the_calendar_lists) {
    std::filesystem::path folder = fresh_program_folder("settings_font");
    SettingsRecord before = unusual_settings();
    before.notify_today_at_startup = 0;
    write_settings(folder, before);
    write_records(folder / "vntradata.fil", {todo_record("フォントの確認")});
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    LRESULT height_before =
        ::SendMessageW(::GetDlgItem(calendar, IDC_TODO_LIST), LB_GETITEMHEIGHT, 0, 0);
    ::PostMessageW(calendar, WM_COMMAND, CMD_SETTINGS, 0);
    HWND sheet = find_window(L"設定", program.process_id());
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    GUI_CHECK(!::IsWindowVisible(calendar));
    HWND font = show_sheet_page(sheet, FONT_TAB);
    std::vector<std::wstring> faces = combo_rows(font, IDC_FONT_FACE);
    int gothic = -1;
    int mincho = -1;
    for (size_t i = 0; i < faces.size(); ++i) {
        GUI_CHECK_MSG(faces[i].find_first_of(L"@$") == std::wstring::npos, utf8(faces[i]));
        if (faces[i] == L"IPAゴシック")
            gothic = static_cast<int>(i);
        if (faces[i] == L"IPA明朝")
            mincho = static_cast<int>(i);
    }
    GUI_CHECK_MSG(gothic >= 0 && mincho >= 0, std::to_string(faces.size()) + " faces");
    GUI_CHECK(combo_selection(font, IDC_FONT_FACE) == gothic);
    GUI_CHECK(combo_selection(font, IDC_FONT_SIZE) == 12 - 8);
    select_combo_row(font, IDC_FONT_FACE, mincho);
    select_combo_row(font, IDC_FONT_SIZE, 20 - 8);
    screenshot("settings_page_font");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(calendar) != FALSE; }));
    SettingsRecord saved = settings_in(folder);
    GUI_CHECK(std::string(saved.font_face) == shift_jis("IPA明朝"));
    GUI_CHECK(saved.font_size == 20);
    LRESULT height_after =
        ::SendMessageW(::GetDlgItem(calendar, IDC_TODO_LIST), LB_GETITEMHEIGHT, 0, 0);
    GUI_CHECK_MSG(height_after > height_before,
                  std::to_string(height_before) + " -> " + std::to_string(height_after));
    GUI_CHECK(list_rows(calendar, IDC_TODO_LIST) == std::vector<std::wstring>{L"フォントの確認"});
    screenshot("settings_font_in_calendar");
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

std::filesystem::path known_folder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::filesystem::path found;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)))
        found = path;
    ::CoTaskMemFree(path);
    return found;
}

std::wstring shortcut_target(const std::filesystem::path& link) {
    IShellLinkW* shell_link = nullptr;
    std::wstring target;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shell_link))))
        return L"(no shell link object)";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(link.wstring().c_str(), STGM_READ))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(shell_link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
        }
        file->Release();
    }
    shell_link->Release();
    return target;
}

HWND open_startup_page(Program& program, HWND& sheet) {
    sheet = open_sheet_from_tray(program);
    return sheet ? show_sheet_page(sheet, STARTUP_TAB) : nullptr;
}

GUI_TEST(settings_shortcuts_point_at_the_running_program) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::filesystem::path desktop = known_folder(FOLDERID_Desktop) / L"Vontara.lnk";
    std::filesystem::path startup = known_folder(FOLDERID_Startup) / L"Vontara.lnk";
    std::error_code ignored;
    std::filesystem::remove_all(desktop, ignored);
    std::filesystem::remove_all(startup, ignored);
    std::filesystem::path folder = fresh_program_folder("settings_shortcuts");
    write_settings(folder, unusual_settings()); // the mail page, always shown, must pass
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = nullptr;
    HWND page = open_startup_page(program, sheet);
    GUI_CHECK(page != nullptr);
    if (!page)
        return;
    GUI_CHECK(!is_checked(page, IDC_STARTUP_SHORTCUT) && !is_checked(page, IDC_DESKTOP_SHORTCUT));
    GUI_CHECK(!is_checked(page, IDC_NOTIFY_TODAY));
    click_and_wait(page, IDC_STARTUP_SHORTCUT);
    click_and_wait(page, IDC_DESKTOP_SHORTCUT);
    click_and_wait(page, IDC_NOTIFY_TODAY);
    screenshot("settings_page_startup");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    std::wstring program_path = (folder / "vntra.exe").wstring();
    for (const std::filesystem::path& link : {desktop, startup}) {
        GUI_CHECK_MSG(std::filesystem::is_regular_file(link), utf8(link.wstring()));
        std::wstring target = shortcut_target(link);
        GUI_CHECK_MSG(::lstrcmpiW(target.c_str(), program_path.c_str()) == 0,
                      utf8(target) + " is not " + utf8(program_path));
    }
    GUI_CHECK(settings_in(folder).notify_today_at_startup == 1);

    // Shown checked next time; unchecked, both go.
    page = open_startup_page(program, sheet);
    GUI_CHECK(page != nullptr);
    if (!page)
        return;
    GUI_CHECK(is_checked(page, IDC_STARTUP_SHORTCUT) && is_checked(page, IDC_DESKTOP_SHORTCUT));
    click_and_wait(page, IDC_STARTUP_SHORTCUT);
    click_and_wait(page, IDC_DESKTOP_SHORTCUT);
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(!std::filesystem::exists(desktop) && !std::filesystem::exists(startup));

    // A shortcut that can be neither removed nor made is reported by name.
    std::filesystem::create_directory(desktop);
    page = open_startup_page(program, sheet);
    GUI_CHECK(page != nullptr);
    if (!page)
        return;
    std::wstring message = ok_expecting_error(sheet, program.process_id());
    GUI_CHECK_MSG(message.find(L"削除できませんでした") != std::wstring::npos &&
                      message.find(L"Vontara.lnk") != std::wstring::npos,
                  utf8(message));
    GUI_CHECK(focus_reaches(sheet, IDC_DESKTOP_SHORTCUT));
    click_and_wait(page, IDC_DESKTOP_SHORTCUT);
    message = ok_expecting_error(sheet, program.process_id());
    GUI_CHECK_MSG(message.find(L"作成できませんでした") != std::wstring::npos, utf8(message));
    GUI_CHECK(::IsWindowVisible(sheet));
    click(sheet, IDCANCEL);
    GUI_CHECK(wait_gone(sheet));
    std::filesystem::remove_all(desktop, ignored);
    GUI_CHECK(program.exit_from_tray());
    ::CoUninitialize();
}

} // namespace vntra::gui

namespace vntra::gui {
namespace {

// The end of the session still purges, backs up and ends the program while
// the sheet is open with a page's message.
GUI_TEST(settings_sheet_open_at_the_end_of_the_session) {
    std::filesystem::path folder = fresh_program_folder("settings_session_end");
    write_settings(folder, unusual_settings());
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    // A failing page's message is up as well.
    set_item_text(current_sheet_page(sheet), IDC_SMTP_SERVER, L"");
    click(sheet, IDOK);
    GUI_CHECK(find_window(L"エラー", program.process_id()) != nullptr);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(program.resident(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer);
    GUI_CHECK(answer == TRUE);
    GUI_CHECK(program.wait_for_exit() == 0);
    GUI_CHECK(std::filesystem::exists(folder / "vntradata.bak"));
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

// A short silent wav file.
void write_wav(const std::filesystem::path& path) {
    const uint32_t samples = 800;
    std::string bytes = "RIFF";
    auto add32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto add16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    add32(36 + samples);
    bytes += "WAVEfmt ";
    add32(16);
    add16(1);    // PCM
    add16(1);    // mono
    add32(8000); // samples per second
    add32(8000); // bytes per second
    add16(1);
    add16(8);
    bytes += "data";
    add32(samples);
    bytes.append(samples, '\x80');
    std::ofstream(path, std::ios::binary) << bytes;
}

GUI_TEST(settings_alarm_sound_is_chosen_cleared_and_stored) {
    std::filesystem::path folder = fresh_program_folder("settings_alarm");
    write_settings(folder, unusual_settings());
    std::filesystem::path wav = folder / L"鐘の音.wav";
    write_wav(wav);
    Program program;
    GUI_CHECK(program.start(folder));
    DWORD pid = program.process_id();
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND alarm = show_sheet_page(sheet, ALARM_TAB);
    click(alarm, IDC_BROWSE);
    GUI_CHECK(choose_in_file_chooser(pid, wav));
    GUI_CHECK(wait_until([&] { return item_text(alarm, IDC_WAV_FILE) == wav.wstring(); }));
    click_and_wait(alarm, IDC_CLEAR_WAV);
    GUI_CHECK(item_text(alarm, IDC_WAV_FILE).empty());
    click(alarm, IDC_BROWSE);
    GUI_CHECK(choose_in_file_chooser(pid, wav));
    GUI_CHECK(wait_until([&] { return item_text(alarm, IDC_WAV_FILE) == wav.wstring(); }));
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(wait_until([&] {
        return std::string(settings_in(folder).alarm_wav_file) == shift_jis(utf8(wav.wstring()));
    }));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

// The folder browser the page has open, waited for.
HWND find_folder_browser(DWORD pid, HWND sheet) {
    HWND browser = nullptr;
    wait_until([&] {
        for (HWND window : visible_windows(pid))
            if (window != sheet && ::FindWindowExW(window, nullptr, L"SysTreeView32", nullptr))
                browser = window;
        return browser != nullptr;
    });
    return browser;
}

GUI_TEST(settings_backup_folder_browser) {
    std::filesystem::path folder = fresh_program_folder("settings_browse");
    write_settings(folder, unusual_settings());
    Program program;
    GUI_CHECK(program.start(folder));
    DWORD pid = program.process_id();
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND data = show_sheet_page(sheet, DATA_TAB);
    // Cancelled, the browser leaves the field alone.
    click(data, IDC_BROWSE);
    HWND browser = find_folder_browser(pid, sheet);
    GUI_CHECK(browser != nullptr);
    if (!browser)
        return;
    GUI_CHECK(static_texts(browser).find(L"データバックアップ用フォルダ指定") !=
              std::wstring::npos);
    screenshot("settings_folder_browser");
    ::PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    GUI_CHECK(wait_gone(browser));
    GUI_CHECK_TEXT(std::wstring(L"C:\\backup\\"), item_text(data, IDC_BACKUP_FOLDER));
    // Confirmed, the folder it shows is taken with a closing backslash.
    click(data, IDC_BROWSE);
    browser = find_folder_browser(pid, sheet);
    GUI_CHECK(browser != nullptr);
    if (!browser)
        return;
    ::PostMessageW(browser, WM_COMMAND, IDOK, 0);
    GUI_CHECK(wait_gone(browser));
    std::wstring chosen;
    GUI_CHECK(wait_until([&] {
        chosen = item_text(data, IDC_BACKUP_FOLDER);
        return chosen != L"C:\\backup\\";
    }));
    GUI_CHECK_MSG(!chosen.empty() && chosen.back() == L'\\' &&
                      std::filesystem::is_directory(chosen),
                  utf8(chosen));
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(wait_until(
        [&] { return std::string(settings_in(folder).backup_folder) == shift_jis(utf8(chosen)); }));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
