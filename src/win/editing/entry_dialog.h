// The entry dialog (105): adds or changes one schedule entry or ToDo item.
#ifndef VNTRA_WIN_EDITING_ENTRY_DIALOG_H
#define VNTRA_WIN_EDITING_ENTRY_DIALOG_H

#include <cstdint>

#include "editing/entry_form.h"
#include "shell/app.h"

namespace vntra {

struct EntryRequest {
    int32_t mode;       // EntryMode
    int32_t record_id;  // the record an edit changes
    LocalDate selected; // the opener's day: a new entry's date and every reset's
};

// Hides the opener, runs the dialog modally and shows the opener again; the
// scan timer is stopped meanwhile and restarted on every way out. An edit
// whose record cannot be read says so and does not open. True when the
// dialog saved something.
bool run_entry_dialog(App& app, HWND opener, const EntryRequest& request);

} // namespace vntra

#endif
