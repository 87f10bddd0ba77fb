// What the pages of the settings sheet share: their context, the three
// routines each page has, and the end of every apply.
#ifndef VNTRA_WIN_SETTINGS_SHEET_PAGES_H
#define VNTRA_WIN_SETTINGS_SHEET_PAGES_H

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings_pages.h"
#include "settings/shortcuts.h"
#include "shell/app.h"

namespace vntra {

struct SheetState {
    App* app;
    bool applied; // some page stored and saved its fields
};

struct PageContext;

// Initialise (when the page is first shown), react to a command, apply on
// OK (true when the page stored and saved its fields).
struct PageRoutines {
    void (*init)(PageContext& page);
    void (*command)(PageContext& page, int control_id, int notification);
    bool (*apply)(PageContext& page);
};

struct PageContext {
    SheetState* sheet = nullptr;
    HWND window = nullptr;
    int index = 0; // tab position
    const PageRoutines* routines = nullptr;
    std::vector<std::string> font_faces; // the font page's table
    ShortcutPlaces shortcuts;            // the start-up page's places
    int offered_port = 0;                // the security page's port for a mail page not yet shown

    App& app() const { return *sheet->app; }
    SettingsRecord& settings() const { return sheet->app->settings; }
};

extern const PageRoutines MAIL_PAGE;
extern const PageRoutines FONT_PAGE;
extern const PageRoutines STARTUP_PAGE;
extern const PageRoutines ALARM_PAGE;
extern const PageRoutines DATA_PAGE;
extern const PageRoutines POP_PAGE;
extern const PageRoutines FORMAT_PAGE;
extern const PageRoutines SECURITY_PAGE;
extern const PageRoutines TIMED_MAIL_PAGE;

// PSM_QUERYSIBLINGS from the security page to the mail page: show the
// standard port of the mode in lParam (unless the port is the user's own).
// The mail page answers with the port it shows; 0 means it is not open.
const WPARAM SIBLING_OFFER_PORT = 0x5350;
INT_PTR answer_sibling(PageContext& page, WPARAM what, LPARAM value);

// The end of every apply: a failed check shows its message on its page and
// moves the focus; a passed one saves `updated`, which becomes the live
// record only when the file took it. True when the page is applied.
bool finish_apply(PageContext& page, const PageResult& result, const SettingsRecord& updated);
// Shows the page (when OK was pressed on another) and reports a failure
// that is not a check's, such as a shortcut that could not be made.
void show_page_error(PageContext& page, std::string_view message, int focus_control_id);

bool is_checked(HWND window, int control_id);
void set_checked(HWND window, int control_id, bool checked);
void enable_control(HWND window, int control_id, bool enabled);
std::string decimal_text(int value);

} // namespace vntra

#endif
