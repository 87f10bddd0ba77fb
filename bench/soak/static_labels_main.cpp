// The smallest program that shows what the soak found in the calendar
// window: a dialog of 60 labels in the dialog font, with the program's
// manifest (themed common controls), made and destroyed again and again.
// It prints how many blocks and bytes the process heap keeps per dialog,
// first as it is, then with the watch over static controls that vntra.exe
// keeps on its thread. Under Wine the first figure is some 60 blocks: one
// per label, the block each label took for its font; on Windows both are 0.
//
//   vntra_static_labels.exe [dialogs]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kit/static_control_memory.h"

namespace {

const int LABEL_COUNT = 60;
const int WARM_UP_DIALOGS = 10;

// A template in memory, as the resource compiler lays one out: the dialog
// with its font, then each label aligned to four bytes.
class TemplateWriter {
  public:
    void words(std::initializer_list<WORD> values) {
        for (WORD value : values)
            bytes_.insert(bytes_.end(), reinterpret_cast<const BYTE*>(&value),
                          reinterpret_cast<const BYTE*>(&value) + sizeof value);
    }
    void dword(DWORD value) { words({LOWORD(value), HIWORD(value)}); }
    void text(const wchar_t* value) {
        for (; *value; ++value)
            words({static_cast<WORD>(*value)});
        words({0});
    }
    void align() {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    std::vector<BYTE> bytes_;
};

TemplateWriter labels_template() {
    TemplateWriter t;
    t.dword(DS_SETFONT | WS_POPUP | WS_CAPTION);
    t.dword(0);
    t.words({LABEL_COUNT, 0, 0, 300, 200, 0, 0}); // items, x, y, cx, cy, no menu, no class
    t.text(L"labels");
    t.words({9});
    t.text(L"MS UI Gothic");
    for (int i = 0; i < LABEL_COUNT; ++i) {
        t.align();
        t.dword(WS_CHILD | WS_VISIBLE | SS_CENTER);
        t.dword(0);
        t.words({static_cast<WORD>(10 + i % 10 * 28), static_cast<WORD>(10 + i / 10 * 28), 24,
                 16, static_cast<WORD>(1000 + i), 0xFFFF, 0x0082}); // the static class
        t.text(L"31");
        t.words({0});
    }
    return t;
}

INT_PTR CALLBACK labels_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct HeapUse {
    long blocks = 0;
    long bytes = 0;
};

HeapUse process_heap_use() {
    HeapUse use;
    HANDLE heap = ::GetProcessHeap();
    PROCESS_HEAP_ENTRY entry{};
    ::HeapLock(heap);
    while (::HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            ++use.blocks;
            use.bytes += static_cast<long>(entry.cbData);
        }
    ::HeapUnlock(heap);
    return use;
}

void open_and_close(const TemplateWriter& dialog) {
    HWND window = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialog.get(), nullptr,
                                               labels_proc, 0);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    ::DestroyWindow(window);
}

void measure(const char* name, const TemplateWriter& dialog, int dialogs) {
    for (int i = 0; i < WARM_UP_DIALOGS; ++i)
        open_and_close(dialog);
    HeapUse before = process_heap_use();
    for (int i = 0; i < dialogs; ++i)
        open_and_close(dialog);
    HeapUse after = process_heap_use();
    std::printf("%-24s %6.1f heap blocks, %7.1f bytes kept per dialog of %d labels\n", name,
                static_cast<double>(after.blocks - before.blocks) / dialogs,
                static_cast<double>(after.bytes - before.bytes) / dialogs, LABEL_COUNT);
}

} // namespace

int main(int argc, char** argv) {
    int dialogs = argc > 1 ? std::atoi(argv[1]) : 200;
    if (dialogs <= 0)
        return 2;
    TemplateWriter dialog = labels_template();
    measure("labels as they are:", dialog, dialogs);
    vntra::StaticControlMemoryWatch watch;
    measure(watch.active() ? "labels watched:" : "labels (nothing to watch):", dialog, dialogs);
    return 0;
}
