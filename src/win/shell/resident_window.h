// The hidden resident window: start-up, the tray icon and its menu, the
// minute timer, and the housekeeping when it goes away.
#ifndef VNTRA_WIN_RESIDENT_WINDOW_H
#define VNTRA_WIN_RESIDENT_WINDOW_H

#include <windows.h>

namespace vntra {

// Registers the class and creates the window; null when either fails,
// including when start-up could not make the data files.
HWND create_resident_window(HINSTANCE instance);

} // namespace vntra

#endif
