// The one message loop of the process.
#include "window.h"

// No IsDialogMessage and no accelerators: Tab, Enter, Escape and the Alt
// letters are the program's own keys, handled by its key filters.
int RunMessageLoop() {
    MSG msg = {};
    for (;;) {
        const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) {
            break;
        }
        // -1 is a failed read, not a message: skip it and keep running.
        if (result == -1) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The exit code PostQuitMessage gave.
    return static_cast<int>(msg.wParam);
}
