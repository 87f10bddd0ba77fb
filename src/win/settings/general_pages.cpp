// The pages "フォント", "起動設定", "アラーム" and "データ".
#include <windows.h>

#include <mmsystem.h>
#include <shlobj.h>

#include <cstring>

#include "kit/dialog_kit.h"
#include "kit/file_chooser.h"
#include "resource_ids.h"
#include "settings/sheet_pages.h"
#include "store/schedule_record.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const size_t FONT_TABLE_LIMIT = 400;

// The last wav file and backup folder chosen, kept for the whole run.
std::wstring wav_choice;
std::wstring folder_choice;

// A path goes into a settings field only whole: it has to fit and come back
// from Shift-JIS as the same path, or it would name another file.
bool path_fits_field(const std::wstring& path, size_t width, std::string& sjis) {
    sjis = narrow(path);
    return sjis.size() <= width - 1 && widen(sjis) == path;
}

// ---- フォント ----------------------------------------------------------------

int CALLBACK collect_face(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM table_pointer) {
    auto& table = *reinterpret_cast<std::vector<std::string>*>(table_pointer);
    std::wstring face = font->lfFaceName;
    // "@" faces are the vertical forms; "$" ones are not meant for lists.
    if (face.empty() || face.find_first_of(L"@$") != std::wstring::npos)
        return TRUE;
    std::string sjis;
    if (!path_fits_field(face, sizeof(SettingsRecord::font_face), sjis))
        return TRUE; // a name the settings could not hold whole
    for (const std::string& known : table)
        if (known == sjis)
            return TRUE;
    table.push_back(sjis);
    return table.size() < FONT_TABLE_LIMIT;
}

void init_font(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    page.font_faces.clear();
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    HDC context = ::GetDC(w);
    ::EnumFontFamiliesExW(context, &wanted, collect_face,
                          reinterpret_cast<LPARAM>(&page.font_faces), 0);
    ::ReleaseDC(w, context);

    HWND list = ::GetDlgItem(w, IDC_FONT_FACE);
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    std::string current = field_text(s.font_face);
    for (size_t i = 0; i < page.font_faces.size(); ++i) {
        std::wstring face = widen(page.font_faces[i]);
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
        if (page.font_faces[i] == current)
            ::SendMessageW(list, CB_SETCURSEL, i, 0);
    }
    fill_number_list(w, IDC_FONT_SIZE, FONT_SIZE_MIN, FONT_SIZE_MAX, s.font_size);
}

bool apply_font(PageContext& page) {
    HWND w = page.window;
    FontPageInput input;
    LRESULT row = ::SendDlgItemMessageW(w, IDC_FONT_FACE, CB_GETCURSEL, 0, 0);
    if (row != CB_ERR && row >= 0 && static_cast<size_t>(row) < page.font_faces.size())
        input.face = page.font_faces[static_cast<size_t>(row)];
    input.size = selected_number(w, IDC_FONT_SIZE, 0);
    SettingsRecord updated = page.settings();
    apply_font_page(input, updated);
    return finish_apply(page, {}, updated);
}

// ---- 起動設定 ----------------------------------------------------------------

void init_startup(PageContext& page) {
    HWND w = page.window;
    page.shortcuts = find_shortcut_places();
    if (page.shortcuts.known) {
        set_checked(w, IDC_DESKTOP_SHORTCUT, shortcut_exists(page.shortcuts.desktop_link));
        set_checked(w, IDC_STARTUP_SHORTCUT, shortcut_exists(page.shortcuts.startup_link));
    } else {
        show_error(w, "ログインされていないので、インストールできません。");
        // Nowhere to put a shortcut: the boxes could only mislead.
        enable_control(w, IDC_DESKTOP_SHORTCUT, false);
        enable_control(w, IDC_STARTUP_SHORTCUT, false);
    }
    set_checked(w, IDC_NOTIFY_TODAY, page.settings().notify_today_at_startup == 1);
}

bool apply_startup(PageContext& page) {
    HWND w = page.window;
    const ShortcutPlaces& places = page.shortcuts;
    if (places.known) {
        struct Place {
            int box;
            const std::wstring& link;
        };
        const Place shortcut_places[] = {{IDC_DESKTOP_SHORTCUT, places.desktop_link},
                                         {IDC_STARTUP_SHORTCUT, places.startup_link}};
        for (const Place& place : shortcut_places) {
            bool wanted = is_checked(w, place.box);
            bool done = wanted ? create_shortcut(place.link, places.target, places.working_folder)
                               : delete_shortcut(place.link);
            if (!done) {
                std::string message = wanted ? "ショートカットを作成できませんでした。\n"
                                             : "ショートカットを削除できませんでした。\n";
                show_page_error(page, message + narrow(place.link), place.box);
                return false;
            }
        }
    }
    SettingsRecord updated = page.settings();
    apply_startup_page(is_checked(w, IDC_NOTIFY_TODAY), updated);
    return finish_apply(page, {}, updated);
}

// ---- アラーム ----------------------------------------------------------------

void init_alarm(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    write_control_text(w, IDC_WAV_FILE, field_text(s.alarm_wav_file));
    write_control_text(w, IDC_ALARM_MINUTES, decimal_text(s.alarm_minutes));
}

void choose_wav_file(PageContext& page) {
    HWND w = page.window;
    std::wstring chosen;
    // Cancelled, the last choice stays and is shown and played again.
    if (choose_file(w, CHOOSE_EXISTING_FILE, "wav files {*.wav}", "*.wav", chosen))
        wav_choice = chosen;
    if (wav_choice.empty())
        return;
    std::string sjis;
    if (!path_fits_field(wav_choice, sizeof page.settings().alarm_wav_file, sjis)) {
        show_error(w, "このファイル名は長すぎるか、使えない文字を含むため、選べません。");
        wav_choice.clear();
        return;
    }
    write_control_text(w, IDC_WAV_FILE, sjis);
    ::PlaySoundW(wav_choice.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void alarm_command(PageContext& page, int control_id, int notification) {
    if (notification != BN_CLICKED)
        return;
    if (control_id == IDC_BROWSE) {
        choose_wav_file(page);
    } else if (control_id == IDC_CLEAR_WAV) {
        wav_choice.clear();
        write_control_text(page.window, IDC_WAV_FILE, "");
    }
}

bool apply_alarm(PageContext& page) {
    HWND w = page.window;
    AlarmPageInput input{control_text(w, IDC_ALARM_MINUTES), control_text(w, IDC_WAV_FILE)};
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_alarm_page(input, updated), updated);
}

// ---- データ ------------------------------------------------------------------

int CALLBACK browser_callback(HWND browser, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_VALIDATEFAILEDW) {
        show_message(browser, "不正なフォルダです", "Error", MB_OK);
        return 1; // keep the browser open
    }
    return 0;
}

void init_data(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    write_control_text(w, IDC_BACKUP_FOLDER, field_text(s.backup_folder));
    write_control_text(w, IDC_EXPIRY_DAYS, decimal_text(s.expiry_days));
}

void choose_backup_folder(PageContext& page) {
    HWND w = page.window;
    std::wstring title = widen("データバックアップ用フォルダ指定");
    BROWSEINFOW browse{};
    browse.hwndOwner = w;
    browse.lpszTitle = title.c_str();
    // Only real folders: a virtual one has no path to copy the backup to.
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
    browse.lpfn = browser_callback;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return;
    wchar_t path[MAX_PATH] = {};
    bool has_path = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    if (!has_path || path[0] == L'\0')
        return;
    folder_choice = path;
    if (folder_choice.back() != L'\\')
        folder_choice += L'\\';
    std::string sjis;
    if (!path_fits_field(folder_choice, sizeof page.settings().backup_folder, sjis)) {
        show_error(w, "このフォルダ名は長すぎるか、使えない文字を含むため、選べません。");
        return;
    }
    write_control_text(w, IDC_BACKUP_FOLDER, sjis);
}

void data_command(PageContext& page, int control_id, int notification) {
    if (control_id == IDC_BROWSE && notification == BN_CLICKED)
        choose_backup_folder(page);
}

bool apply_data(PageContext& page) {
    HWND w = page.window;
    DataPageInput input{control_text(w, IDC_EXPIRY_DAYS), control_text(w, IDC_BACKUP_FOLDER)};
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_data_page(input, updated), updated);
}

} // namespace

const PageRoutines FONT_PAGE = {init_font, nullptr, apply_font};
const PageRoutines STARTUP_PAGE = {init_startup, nullptr, apply_startup};
const PageRoutines ALARM_PAGE = {init_alarm, alarm_command, apply_alarm};
const PageRoutines DATA_PAGE = {init_data, data_command, apply_data};

} // namespace vntra
