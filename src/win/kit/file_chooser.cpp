#include "kit/file_chooser.h"

#include <commdlg.h>

#include "shell/wide_text.h"

namespace vntra {

bool choose_file(HWND owner, FileChoice choice, const std::vector<FileFilter>& filters,
                 std::wstring& path) {
    // Names and patterns, each ending in a NUL, and one more NUL at the end.
    std::wstring filter;
    for (const FileFilter& one : filters)
        filter += widen(one.name) + L'\0' + widen(one.pattern) + L'\0';
    filter += L'\0';
    std::string_view pattern = filters.empty() ? std::string_view() : filters[0].pattern;
    pattern = pattern.substr(0, pattern.find(';'));
    std::wstring title = widen("ファイルを選択する");
    wchar_t buffer[MAX_PATH] = {};
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = filter.c_str();
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = buffer;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrTitle = title.c_str();
    chooser.Flags = OFN_HIDEREADONLY | OFN_NONETWORKBUTTON | OFN_NOCHANGEDIR;
    BOOL chosen;
    if (choice == CHOOSE_FILE_TO_SAVE) {
        chooser.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        // A name typed without an extension gets the pattern's.
        std::wstring extension = widen(pattern.substr(pattern.rfind('.') + 1));
        chooser.lpstrDefExt =
            pattern.find('.') == std::string_view::npos ? nullptr : extension.c_str();
        chosen = ::GetSaveFileNameW(&chooser);
    } else {
        chooser.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        chosen = ::GetOpenFileNameW(&chooser);
    }
    if (!chosen || buffer[0] == L'\0')
        return false;
    path = buffer;
    return true;
}

std::wstring control_wide_text(HWND dialog, int control_id) {
    HWND control = ::GetDlgItem(dialog, control_id);
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace vntra
