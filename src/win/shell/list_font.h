// The font the user chose for schedule texts (face and point size from the
// settings), built on the control's own font.
#ifndef VNTRA_WIN_LIST_FONT_H
#define VNTRA_WIN_LIST_FONT_H

#include <windows.h>

#include "store/settings_record.h"

namespace vntra {

// A new font for the control; the caller deletes it.
HFONT create_list_font(HWND control, const SettingsRecord& settings);

} // namespace vntra

#endif
