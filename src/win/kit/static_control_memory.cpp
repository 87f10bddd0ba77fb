#include "kit/static_control_memory.h"

namespace vntra {
namespace {

// Wine's own loader exports this; Windows has no such function.
bool running_under_wine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool is_static_control(HWND window) {
    wchar_t name[16];
    return ::GetClassNameW(window, name, sizeof name / sizeof name[0]) > 0 &&
           ::lstrcmpiW(name, L"Static") == 0;
}

// Only the type changes, while the window is already on its way out: it is
// not drawn again, and its text and font stay as they were.
BOOL CALLBACK let_static_free_its_block(HWND window, LPARAM) {
    if (!is_static_control(window))
        return TRUE;
    LONG style = ::GetWindowLongW(window, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_ICON)
        ::SetWindowLongW(window, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_ICON);
    return TRUE;
}

// Destroying a window destroys its children without a hook call of their
// own, so the whole tree is seen to here.
LRESULT CALLBACK before_destroy(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wparam);
        let_static_free_its_block(window, 0);
        ::EnumChildWindows(window, let_static_free_its_block, 0);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

} // namespace

StaticControlMemoryWatch::StaticControlMemoryWatch() {
    if (running_under_wine())
        hook_ = ::SetWindowsHookExW(WH_CBT, before_destroy, nullptr, ::GetCurrentThreadId());
}

StaticControlMemoryWatch::~StaticControlMemoryWatch() {
    if (hook_)
        ::UnhookWindowsHookEx(hook_);
}

} // namespace vntra
