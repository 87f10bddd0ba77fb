#include "settings/settings_sheet.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "kit/dialog_kit.h"
#include "resource_ids.h"
#include "settings/sheet_pages.h"
#include "shell/wide_text.h"

namespace vntra {

// The core names the controls a failed check focuses; the templates must
// use the same numbers.
static_assert(IDC_SMTP_SERVER == CONTROL_SMTP_SERVER && IDC_SENDER == CONTROL_SENDER &&
              IDC_RECIPIENT == CONTROL_RECIPIENT && IDC_SMTP_PORT == CONTROL_SMTP_PORT);
static_assert(IDC_STARTUP_SHORTCUT == CONTROL_STARTUP_SHORTCUT &&
              IDC_DESKTOP_SHORTCUT == CONTROL_DESKTOP_SHORTCUT);
static_assert(IDC_ALARM_MINUTES == CONTROL_ALARM_MINUTES &&
              IDC_EXPIRY_DAYS == CONTROL_EXPIRY_DAYS && IDC_BACKUP_FOLDER == CONTROL_BACKUP_FOLDER);
static_assert(IDC_POP_SERVER == CONTROL_POP_SERVER && IDC_POP_PORT == CONTROL_POP_PORT &&
              IDC_POP_ACCOUNT == CONTROL_POP_ACCOUNT && IDC_POP_PASSWORD == CONTROL_POP_PASSWORD);
static_assert(IDC_START_DATE_FORMAT == CONTROL_START_DATE_FORMAT &&
              IDC_END_DATE_FORMAT == CONTROL_END_DATE_FORMAT);
static_assert(IDC_SECURITY_NONE == CONTROL_SECURITY_NONE &&
              IDC_SMTP_ACCOUNT == CONTROL_SMTP_ACCOUNT &&
              IDC_SMTP_PASSWORD == CONTROL_SMTP_PASSWORD);
static_assert(IDC_DAILY_ON == CONTROL_DAILY_ON && IDC_DAILY_HOUR == CONTROL_DAILY_HOUR &&
              IDC_DAILY_MINUTE == CONTROL_DAILY_MINUTE && IDC_WEEKLY_ON == CONTROL_WEEKLY_ON &&
              IDC_WEEKLY_WEEKDAY == CONTROL_WEEKLY_WEEKDAY &&
              IDC_WEEKLY_HOUR == CONTROL_WEEKLY_HOUR && IDC_WEEKLY_MINUTE == CONTROL_WEEKLY_MINUTE);

namespace {

struct PageSpec {
    int template_id;
    const char* title;
    const PageRoutines* routines;
};

// Tab order.
const PageSpec PAGES[] = {
    {IDD_PAGE_MAIL, "メール", &MAIL_PAGE},
    {IDD_PAGE_FONT, "フォント", &FONT_PAGE},
    {IDD_PAGE_STARTUP, "起動設定", &STARTUP_PAGE},
    {IDD_PAGE_ALARM, "アラーム", &ALARM_PAGE},
    {IDD_PAGE_DATA, "データ", &DATA_PAGE},
    {IDD_PAGE_POP, "POP before SMTP に対応", &POP_PAGE},
    {IDD_PAGE_FORMAT, "メールの特殊フォーマット", &FORMAT_PAGE},
    {IDD_PAGE_SECURITY, "送信の認証・暗号化", &SECURITY_PAGE},
    {IDD_PAGE_TIMED_MAIL, "定時送信", &TIMED_MAIL_PAGE},
};
const int PAGE_COUNT = sizeof PAGES / sizeof PAGES[0];

PageContext* page_of(HWND window) {
    return reinterpret_cast<PageContext*>(::GetWindowLongPtrW(window, DWLP_USER));
}

// Brings a page to the front, so that the control a message points at is
// one the user can see.
void bring_to_front(PageContext& page) {
    HWND sheet = ::GetParent(page.window);
    if (PropSheet_GetCurrentPageHwnd(sheet) != page.window)
        PropSheet_SetCurSel(sheet, nullptr, page.index);
}

INT_PTR on_notify(PageContext& page, const NMHDR& header) {
    if (header.code != PSN_APPLY)
        return FALSE;
    // Pages are created when first shown, so only those get here, in tab
    // order; the first that fails stops the rest and keeps the sheet open.
    bool applied = page.routines->apply(page);
    ::SetWindowLongPtrW(page.window, DWLP_MSGRESULT,
                        applied ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
    return TRUE;
}

INT_PTR CALLBACK page_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGEW& sheet_page = *reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
        PageContext* page = reinterpret_cast<PageContext*>(sheet_page.lParam);
        page->window = window;
        page->app().settings_sheet = ::GetParent(window);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->routines->init(*page);
        return TRUE;
    }
    PageContext* page = page_of(window);
    if (!page)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (page->routines->command)
            page->routines->command(*page, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case WM_NOTIFY:
        return on_notify(*page, *reinterpret_cast<const NMHDR*>(lparam));
    case PSM_QUERYSIBLINGS: {
        INT_PTR answer = answer_sibling(*page, wparam, lparam);
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

int CALLBACK sheet_callback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        centre_on_screen(sheet);
        ::SetWindowPos(sheet, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    return 0;
}

} // namespace

bool finish_apply(PageContext& page, const PageResult& result, const SettingsRecord& updated) {
    if (!result.ok()) {
        bring_to_front(page);
        if (result.owned_by_page)
            show_input_error(page.window, result.message, result.focus);
        else
            show_unowned_input_error(page.window, result.message, result.focus);
        return false;
    }
    App& app = page.app();
    if (!save_page(app.settings_path, app.settings, updated)) {
        bring_to_front(page);
        show_error(page.window, SETTINGS_SAVE_FAILED_TEXT);
        return false;
    }
    page.sheet->applied = true;
    return true;
}

void show_page_error(PageContext& page, std::string_view message, int focus_control_id) {
    bring_to_front(page);
    show_input_error(page.window, message, focus_control_id);
}

bool is_checked(HWND window, int control_id) {
    return ::IsDlgButtonChecked(window, control_id) == BST_CHECKED;
}

void set_checked(HWND window, int control_id, bool checked) {
    ::CheckDlgButton(window, control_id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void enable_control(HWND window, int control_id, bool enabled) {
    ::EnableWindow(::GetDlgItem(window, control_id), enabled ? TRUE : FALSE);
}

std::string decimal_text(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

bool run_settings_sheet(App& app, HWND owner) {
    // The folder browser and the shortcuts need COM on this thread.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SheetState state{&app, false};
    PageContext contexts[PAGE_COUNT];
    std::wstring titles[PAGE_COUNT];
    PROPSHEETPAGEW pages[PAGE_COUNT] = {};
    for (int i = 0; i < PAGE_COUNT; ++i) {
        contexts[i].sheet = &state;
        contexts[i].index = i;
        contexts[i].routines = PAGES[i].routines;
        titles[i] = widen(PAGES[i].title);
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_USETITLE;
        pages[i].hInstance = app.instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(PAGES[i].template_id);
        pages[i].pfnDlgProc = page_proc;
        pages[i].pszTitle = titles[i].c_str();
        pages[i].lParam = reinterpret_cast<LPARAM>(&contexts[i]);
    }
    std::wstring caption = widen("設定");
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags =
        PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_USEHICON | PSH_NOCONTEXTHELP;
    header.hwndParent = owner;
    header.hInstance = app.instance;
    header.hIcon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    header.pszCaption = caption.c_str();
    header.nPages = PAGE_COUNT;
    header.ppsp = pages;
    header.pfnCallback = sheet_callback;
    ::PropertySheetW(&header);
    app.settings_sheet = nullptr;
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return state.applied;
}

void release_settings_sheet(App& app) {
    if (app.settings_sheet && ::IsWindow(app.settings_sheet))
        ::SetWindowLongPtrW(app.settings_sheet, GWLP_HWNDPARENT, 0);
}

void open_settings_from_tray(App& app) {
    app.busy = true;
    SettingsRecord copy = app.settings;
    if (!run_settings_sheet(app, app.resident_window))
        put_back_fields(app.settings, copy, TRAY_COPY_END);
    app.busy = false;
}

} // namespace vntra
