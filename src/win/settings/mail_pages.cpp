// The pages "メール", "POP before SMTP に対応" and "メールの特殊フォーマット".
#include <windows.h>

#include <cstring>

#include "kit/dialog_kit.h"
#include "resource_ids.h"
#include "settings/security_page.h"
#include "settings/sheet_pages.h"
#include "store/schedule_record.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const int TEXT_LIMIT = 255; // characters; the fields are cut to bytes on apply

void limit_text(HWND window, int control_id) {
    ::SendDlgItemMessageW(window, control_id, EM_LIMITTEXT, TEXT_LIMIT, 0);
}

// ---- メール ------------------------------------------------------------------

void init_mail(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    for (int id : {IDC_SMTP_SERVER, IDC_SENDER, IDC_RECIPIENT, IDC_RECIPIENT2})
        limit_text(w, id);
    write_control_text(w, IDC_SMTP_SERVER, field_text(s.smtp_server));
    write_control_text(w, IDC_SENDER, field_text(s.sender_address));
    write_control_text(w, IDC_RECIPIENT, field_text(s.recipient_address));
    write_control_text(w, IDC_RECIPIENT2, field_text(s.recipient_address2));
    if (s.mail_size_choice >= 1 && s.mail_size_choice <= MAIL_SIZE_CHOICE_COUNT)
        ::CheckRadioButton(w, IDC_SIZE_200, IDC_SIZE_1600, IDC_SIZE_200 + s.mail_size_choice - 1);
    write_control_text(w, IDC_SMTP_PORT, decimal_text(s.smtp_port));
    set_checked(w, IDC_SEND_TODO, s.send_todo == 1);
}

bool apply_mail(PageContext& page) {
    HWND w = page.window;
    MailPageInput input;
    input.server = control_text(w, IDC_SMTP_SERVER);
    input.port = control_text(w, IDC_SMTP_PORT);
    input.sender = control_text(w, IDC_SENDER);
    input.recipient = control_text(w, IDC_RECIPIENT);
    input.recipient2 = control_text(w, IDC_RECIPIENT2);
    for (int choice = 1; choice <= MAIL_SIZE_CHOICE_COUNT; ++choice)
        if (is_checked(w, IDC_SIZE_200 + choice - 1))
            input.size_choice = choice;
    input.send_todo = is_checked(w, IDC_SEND_TODO);
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_mail_page(input, updated), updated);
}

int offer_port(PageContext& page, int security) {
    int current = read_number(control_text(page.window, IDC_SMTP_PORT), PORT_READ_LENGTH);
    int port = offered_port(security, current);
    write_control_text(page.window, IDC_SMTP_PORT, decimal_text(port));
    return port;
}

// ---- POP before SMTP -------------------------------------------------------------

const int POP_FIELDS[] = {IDC_POP_SERVER, IDC_POP_PORT, IDC_POP_ACCOUNT, IDC_POP_PASSWORD};

void enable_pop_fields(HWND w) {
    bool on = is_checked(w, IDC_POP_ENABLED);
    for (int id : POP_FIELDS)
        enable_control(w, id, on);
}

void init_pop(PageContext& page) {
    HWND w = page.window;
    SettingsRecord& s = page.settings();
    limit_text(w, IDC_POP_SERVER);
    ::SendDlgItemMessageW(w, IDC_POP_ACCOUNT, EM_LIMITTEXT, sizeof s.pop_account - 1, 0);
    ::SendDlgItemMessageW(w, IDC_POP_PASSWORD, EM_LIMITTEXT, sizeof s.pop_password - 1, 0);
    set_checked(w, IDC_POP_ENABLED, s.pop_before_smtp == 1);
    enable_pop_fields(w);
    write_control_text(w, IDC_POP_SERVER, field_text(s.pop_server));
    // A port never set means the standard one; the opener's copy undoes
    // this when no page is applied.
    if (s.pop_port == 0)
        s.pop_port = 110;
    write_control_text(w, IDC_POP_PORT, decimal_text(s.pop_port));
    write_control_text(w, IDC_POP_ACCOUNT, field_text(s.pop_account));
    write_control_text(w, IDC_POP_PASSWORD, field_text(s.pop_password));
}

void pop_command(PageContext& page, int control_id, int notification) {
    if (control_id == IDC_POP_ENABLED && notification == BN_CLICKED)
        enable_pop_fields(page.window);
}

bool apply_pop(PageContext& page) {
    HWND w = page.window;
    PopPageInput input;
    input.enabled = is_checked(w, IDC_POP_ENABLED);
    input.server = control_text(w, IDC_POP_SERVER);
    input.port = control_text(w, IDC_POP_PORT);
    input.account = control_text(w, IDC_POP_ACCOUNT);
    input.password = control_text(w, IDC_POP_PASSWORD);
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_pop_page(input, updated), updated);
}

// ---- メールの特殊フォーマット ----------------------------------------------------------

const int FORMAT_BOXES[FORMAT_ITEM_COUNT] = {IDC_FORMAT_START_DATE, IDC_FORMAT_END_DATE,
                                             IDC_FORMAT_CONTENT, IDC_FORMAT_PLACE};
const int FORMAT_EDITS[FORMAT_ITEM_COUNT] = {IDC_START_DATE_FORMAT, IDC_END_DATE_FORMAT,
                                             IDC_CONTENT_PREFIX, IDC_PLACE_PREFIX};

// The item boxes follow the main box, and each edit its item's box, so an
// edit is open exactly when its text will be stored.
void enable_format_controls(HWND w) {
    bool on = is_checked(w, IDC_FORMAT_ENABLED);
    for (int item = 0; item < FORMAT_ITEM_COUNT; ++item) {
        enable_control(w, FORMAT_BOXES[item], on);
        enable_control(w, FORMAT_EDITS[item], on && is_checked(w, FORMAT_BOXES[item]));
    }
}

void init_format(PageContext& page) {
    HWND w = page.window;
    SettingsRecord& s = page.settings();
    bool on = s.format_enabled == 1;
    set_checked(w, IDC_FORMAT_ENABLED, on);
    for (int item = 0; item < FORMAT_ITEM_COUNT; ++item) {
        size_t width = 0;
        const char* text = format_text_field(s, item, &width);
        ::SendDlgItemMessageW(w, FORMAT_EDITS[item], EM_LIMITTEXT, width - 1, 0);
        bool shown = on && format_flag(s, item) == 1;
        set_checked(w, FORMAT_BOXES[item], shown);
        write_control_text(w, FORMAT_EDITS[item],
                           shown ? std::string_view(text, strnlen(text, width)) : "");
    }
    enable_format_controls(w);
}

void format_command(PageContext& page, int control_id, int notification) {
    if (notification != BN_CLICKED)
        return;
    if (control_id == IDC_FORMAT_ENABLED)
        enable_format_controls(page.window);
    for (int box : FORMAT_BOXES)
        if (control_id == box)
            enable_format_controls(page.window);
}

bool apply_format(PageContext& page) {
    HWND w = page.window;
    FormatPageInput input;
    input.enabled = is_checked(w, IDC_FORMAT_ENABLED);
    for (int item = 0; item < FORMAT_ITEM_COUNT; ++item) {
        input.checked[item] = is_checked(w, FORMAT_BOXES[item]);
        input.text[item] = control_text(w, FORMAT_EDITS[item]);
    }
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_format_page(input, updated), updated);
}

} // namespace

const PageRoutines MAIL_PAGE = {init_mail, nullptr, apply_mail};

INT_PTR answer_sibling(PageContext& page, WPARAM what, LPARAM value) {
    if (what != SIBLING_OFFER_PORT || page.routines != &MAIL_PAGE)
        return 0;
    return offer_port(page, static_cast<int>(value));
}
const PageRoutines POP_PAGE = {init_pop, pop_command, apply_pop};
const PageRoutines FORMAT_PAGE = {init_format, format_command, apply_format};

} // namespace vntra
