// Under Wine, a themed static control (a label, a day cell) takes a small
// heap block for its font the first time it is given one, and frees that
// block when it is destroyed only if it is an icon static. Every label of
// every dialog would stay in the heap for good: 61 of them, some 3 kB, each
// time the calendar window opens. This thread-wide watch turns each static
// into an icon static just before it is destroyed, so that Wine frees the
// block itself. On Windows it does nothing.
#ifndef VNTRA_WIN_KIT_STATIC_CONTROL_MEMORY_H
#define VNTRA_WIN_KIT_STATIC_CONTROL_MEMORY_H

#include <windows.h>

namespace vntra {

// Watches the windows of the thread that makes it, for as long as it lives.
class StaticControlMemoryWatch {
  public:
    StaticControlMemoryWatch();
    ~StaticControlMemoryWatch();
    StaticControlMemoryWatch(const StaticControlMemoryWatch&) = delete;
    StaticControlMemoryWatch& operator=(const StaticControlMemoryWatch&) = delete;

    // False on Windows, where there is nothing to watch for.
    bool active() const { return hook_ != nullptr; }

  private:
    HHOOK hook_ = nullptr;
};

} // namespace vntra

#endif
