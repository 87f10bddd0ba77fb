#include "kit/note_field.h"

#include "shell/wide_text.h"

namespace vntra {
namespace {

const COLORREF PALE_YELLOW = RGB(255, 255, 200);

HFONT create_fixed_pitch_font(HWND dialog) {
    LOGFONTW description{};
    HFONT dialog_font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    ::GetObjectW(dialog_font ? static_cast<HGDIOBJ>(dialog_font)
                             : ::GetStockObject(DEFAULT_GUI_FONT),
                 sizeof description, &description);
    ::lstrcpynW(description.lfFaceName, widen("ＭＳ ゴシック").c_str(), LF_FACESIZE);
    description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    description.lfCharSet = SHIFTJIS_CHARSET;
    description.lfWidth = 0;
    return ::CreateFontIndirectW(&description);
}

} // namespace

void open_note_field(HWND dialog, int control_id, std::string_view text, NoteField& note) {
    note.control = ::GetDlgItem(dialog, control_id);
    note.brush = ::CreateSolidBrush(PALE_YELLOW);
    note.font = create_fixed_pitch_font(dialog);
    ::SendMessageW(note.control, WM_SETFONT, reinterpret_cast<WPARAM>(note.font), FALSE);
    set_control_text(dialog, control_id, text);
}

INT_PTR note_field_colour(const NoteField& note, HDC context, HWND control) {
    if (control != note.control || !note.brush)
        return 0;
    ::SetBkMode(context, OPAQUE);
    ::SetBkColor(context, PALE_YELLOW);
    return reinterpret_cast<INT_PTR>(note.brush);
}

void close_note_field(NoteField& note) {
    if (note.font)
        ::DeleteObject(note.font);
    if (note.brush)
        ::DeleteObject(note.brush);
    note = NoteField{};
}

} // namespace vntra
