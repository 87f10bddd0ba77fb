#include "kit/list_font.h"

#include <cstring>

#include "shell/wide_text.h"

namespace vntra {

HFONT create_face_font(HWND control, const SettingsRecord& settings, int points) {
    LOGFONTW description{};
    HFONT current = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ::GetObjectW(current ? static_cast<HGDIOBJ>(current) : ::GetStockObject(DEFAULT_GUI_FONT),
                 sizeof description, &description);
    std::wstring face = widen(std::string_view(
        settings.font_face, strnlen(settings.font_face, sizeof settings.font_face)));
    ::lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
    HDC context = ::GetDC(control);
    description.lfHeight = -::MulDiv(points, ::GetDeviceCaps(context, LOGPIXELSY), 72);
    ::ReleaseDC(control, context);
    description.lfWidth = 0;
    return ::CreateFontIndirectW(&description);
}

HFONT create_list_font(HWND control, const SettingsRecord& settings) {
    return create_face_font(control, settings, settings.font_size);
}

} // namespace vntra
