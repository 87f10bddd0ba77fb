// Fonts built from the settings: the face and point size the user chose for
// schedule texts, and the fixed 9-point face of the entry fields.
#ifndef VNTRA_WIN_KIT_LIST_FONT_H
#define VNTRA_WIN_KIT_LIST_FONT_H

#include <windows.h>

#include "store/settings_record.h"

namespace vntra {

// A new font for the control at the settings' face and size, built on the
// control's own font; the caller deletes it.
HFONT create_list_font(HWND control, const SettingsRecord& settings);

// The same face at a fixed point size (the entry dialog's text fields).
HFONT create_face_font(HWND control, const SettingsRecord& settings, int points);

} // namespace vntra

#endif
