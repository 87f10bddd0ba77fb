// The driver's entry: runs every registered test (or those named on the
// command line) and writes the log and a one-line result file.
//
//   vntra_gui_tests.exe <bin folder> <work folder> <shot folder> [test ...]
#include <windows.h>

#include <fstream>
#include <set>
#include <string>

#include "gui_kit.h"
#include "gui_run.h"

namespace vntra::gui {

RunState& run_state() {
    static RunState state;
    return state;
}

namespace {

int run_all(const std::set<std::string>& wanted) {
    int passed = 0;
    int failed = 0;
    for (const GuiTest& test : registered_tests()) {
        if (!wanted.empty() && !wanted.count(test.name))
            continue;
        log_line(std::string("RUN  ") + test.name);
        run_state().current_failures = 0;
        DWORD start = ::GetTickCount();
        test.run();
        std::string seconds = std::to_string((::GetTickCount() - start) / 1000.0).substr(0, 4);
        if (run_state().current_failures == 0) {
            ++passed;
            log_line(std::string("OK   ") + test.name + " (" + seconds + " s)");
        } else {
            ++failed;
            log_line(std::string("FAIL ") + test.name + " (" + seconds + " s)");
        }
    }
    std::string summary = std::to_string(passed) + " passed, " + std::to_string(failed) + " failed";
    log_line(summary);
    std::ofstream(run_state().work_folder / "result.txt")
        << (failed == 0 && passed > 0 ? "PASSED " : "FAILED ") << summary << "\n";
    return failed == 0 ? 0 : 1;
}

} // namespace
} // namespace vntra::gui

int wmain(int argc, wchar_t** argv) {
    using namespace vntra::gui;
    if (argc < 4)
        return 2;
    RunState& state = run_state();
    state.bin_folder = argv[1];
    state.work_folder = argv[2];
    state.shot_folder = argv[3];
    std::filesystem::create_directories(state.work_folder);
    std::filesystem::create_directories(state.shot_folder);
    state.log_path = state.work_folder / "gui-tests.log";
    std::ofstream(state.log_path, std::ios::trunc).close();
    std::set<std::string> wanted;
    for (int i = 4; i < argc; ++i)
        wanted.insert(utf8(argv[i]));
    return run_all(wanted);
}
