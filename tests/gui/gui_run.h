// Where the driver works and what it has found so far.
#ifndef VNTRA_TESTS_GUI_RUN_H
#define VNTRA_TESTS_GUI_RUN_H

#include <filesystem>

namespace vntra::gui {

struct RunState {
    std::filesystem::path bin_folder;  // vntra.exe and tabrix.dll as built
    std::filesystem::path work_folder; // one program folder per test
    std::filesystem::path shot_folder; // screenshots
    std::filesystem::path log_path;
    int current_failures = 0;
};

RunState& run_state();

} // namespace vntra::gui

#endif
