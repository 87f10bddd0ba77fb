// The program started with its clock at another time of day.
#include <windows.h>

#include <cstdio>

#include "gui_kit.h"

namespace vntra::gui {

ShiftedClock clock_at(int hour, int minute) {
    const int DAY = 24 * 60;
    SYSTEMTIME utc;
    ::GetSystemTime(&utc);
    int utc_minute = utc.wHour * 60 + utc.wMinute;
    // The nearest offset that makes it hour:minute, within half a day.
    int offset = ((hour * 60 + minute - utc_minute) % DAY + DAY + DAY / 2) % DAY - DAY / 2;
    int day_shift = utc_minute + offset >= DAY ? 1 : (utc_minute + offset < 0 ? -1 : 0);
    return {offset, add_days({utc.wYear, utc.wMonth, utc.wDay, utc.wDayOfWeek}, day_shift)};
}

void wait_for_second_below(int second) {
    SYSTEMTIME now;
    for (::GetLocalTime(&now); now.wSecond >= second; ::GetLocalTime(&now))
        ::Sleep(200);
}

bool Program::start_with_clock(const std::filesystem::path& folder, const ShiftedClock& clock) {
    // A Windows child would run in the driver's zone; a Unix one takes the
    // environment it is given, and the program it starts inherits that. The
    // POSIX zone "VNT-07:13" is seven hours and thirteen minutes ahead.
    // Joining the driver's desktop keeps the windows where the kit looks.
    int size = clock.offset_minutes < 0 ? -clock.offset_minutes : clock.offset_minutes;
    wchar_t zone[32], desktop[128] = {};
    std::swprintf(zone, 32, L"VNT%lc%02d:%02d", clock.offset_minutes < 0 ? L'+' : L'-', size / 60,
                  size % 60);
    ::GetUserObjectInformationW(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, desktop,
                                sizeof desktop, nullptr);
    std::wstring command = L"/bin/sh -c \"exec env TZ=" + std::wstring(zone) +
                           L" wine explorer /desktop=" + desktop + L" '" +
                           (folder / "vntra.exe").wstring() + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.wstring().c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    // The program is a grandchild: it is found by its hidden window.
    HWND window = nullptr;
    wait_until([&] { return (window = ::FindWindowW(L"vntra", nullptr)) != nullptr; });
    if (window)
        ::GetWindowThreadProcessId(window, &process_id_);
    process_ = window ? ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION,
                                      FALSE, process_id_)
                      : nullptr;
    return process_ != nullptr && wait_until_started();
}

} // namespace vntra::gui
