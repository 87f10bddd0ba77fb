// The program started with its clock at another time of day.
#include <windows.h>

#include <cstdio>

#include "gui_kit.h"

namespace vntra::gui {
namespace {

const int MINUTES_PER_DAY = 24 * 60;

std::wstring desktop_name() {
    wchar_t name[128] = {};
    ::GetUserObjectInformationW(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, name,
                                sizeof name, nullptr);
    return name;
}

// The POSIX zone whose local time is UTC + offset minutes ("VNT-07:13" is
// seven hours and thirteen minutes ahead).
std::wstring zone_for(int offset_minutes) {
    wchar_t zone[32];
    int size = offset_minutes < 0 ? -offset_minutes : offset_minutes;
    std::swprintf(zone, 32, L"VNT%lc%02d:%02d", offset_minutes < 0 ? L'+' : L'-', size / 60,
                  size % 60);
    return zone;
}

} // namespace

ShiftedClock clock_at(int hour, int minute) {
    SYSTEMTIME utc;
    ::GetSystemTime(&utc);
    int utc_minute = utc.wHour * 60 + utc.wMinute;
    // The nearest offset that makes it hour:minute: within half a day.
    int offset = (hour * 60 + minute - utc_minute) % MINUTES_PER_DAY;
    if (offset >= MINUTES_PER_DAY / 2)
        offset -= MINUTES_PER_DAY;
    if (offset < -MINUTES_PER_DAY / 2)
        offset += MINUTES_PER_DAY;
    int local_minute = utc_minute + offset;
    int day_shift = local_minute >= MINUTES_PER_DAY ? 1 : (local_minute < 0 ? -1 : 0);
    Today utc_date{utc.wYear, utc.wMonth, utc.wDay, utc.wDayOfWeek};
    return {offset, add_days(utc_date, day_shift)};
}

void wait_for_second_below(int second) {
    SYSTEMTIME now;
    for (::GetLocalTime(&now); now.wSecond >= second; ::GetLocalTime(&now))
        ::Sleep(200);
}

bool Program::start_with_clock(const std::filesystem::path& folder, const ShiftedClock& clock) {
    // A Windows child would run in the driver's zone; a Unix one gets the
    // environment it is given, and the program it starts inherits that.
    // Joining the driver's desktop keeps the windows where the kit looks.
    std::wstring command = L"/bin/sh -c \"exec env TZ=" + zone_for(clock.offset_minutes) +
                           L" wine explorer /desktop=" + desktop_name() + L" '" +
                           (folder / "vntra.exe").wstring() + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.wstring().c_str(), &startup, &info))
        return false;
    if (info.hThread)
        ::CloseHandle(info.hThread);
    if (info.hProcess)
        ::CloseHandle(info.hProcess);
    // The program is a grandchild: it is found by its hidden window.
    HWND window = nullptr;
    wait_until([&] { return (window = ::FindWindowW(L"vntra", nullptr)) != nullptr; });
    if (!window)
        return false;
    ::GetWindowThreadProcessId(window, &process_id_);
    process_ = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE,
                             process_id_);
    return process_ != nullptr && wait_until_started();
}

} // namespace vntra::gui
