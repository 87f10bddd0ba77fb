// A read-only text field in the fixed-pitch face "ＭＳ ゴシック" on pale
// yellow: the help text and the import's instructions.
#ifndef VNTRA_WIN_KIT_NOTE_FIELD_H
#define VNTRA_WIN_KIT_NOTE_FIELD_H

#include <windows.h>

#include <string_view>

namespace vntra {

struct NoteField {
    HWND control = nullptr;
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
};

// Gives the control the dialog font's size in the fixed-pitch face, the
// pale yellow brush and the Shift-JIS text.
void open_note_field(HWND dialog, int control_id, std::string_view text, NoteField& note);

// For WM_CTLCOLORSTATIC: the brush for the note's control, else 0 so that
// other controls keep their colours.
INT_PTR note_field_colour(const NoteField& note, HDC context, HWND control);

// Deletes the font and the brush. Call it once the dialog is gone: the field
// draws with both until it is destroyed. Taking the font away from a live
// field instead makes it lay out its whole text again in the system font,
// and Wine keeps memory from every such layout for good.
void close_note_field(NoteField& note);

} // namespace vntra

#endif
