// What each key does. Keys become commands posted to the main window, so the
// action runs in one place, in turn with the other queued messages; only the
// Alt focus moves act at once.
#include "keyboard.h"
#include "window.h"

namespace {

bool IsShiftDown() {
    // The key's state right now, not when the Tab message was queued.
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

void PostCommand(WPARAM command) {
    PostMessageA(g_hMainWnd, WM_COMMAND, command, 0);
}

// Puts what has been drawn so far on the screen. Wine draws a window into
// an off-screen surface and copies it to the display only when the thread
// looks at its queue; Sleep never does, so without this the pushed look
// would never be seen. A wait of no time with no handles looks at the
// queue without taking or dispatching any message; on Windows, which draws
// straight to the screen, it changes nothing.
void ShowDrawing() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

// Shows the button pushed in for a moment, as if clicked, then posts its
// command; the command runs after the flash, when the loop reads the queue.
void FlashAndPost(int buttonId, WPARAM command) {
    HWND button = GetDlgItem(g_hMainWnd, buttonId);
    SendMessageA(button, BM_SETSTATE, 1, 0);
    ShowDrawing();
    Sleep(kFlashMs);
    SendMessageA(button, BM_SETSTATE, 0, 0);
    PostCommand(command);
}

}  // namespace

bool HandleNavKey(WPARAM key) {
    switch (key) {
        case VK_TAB:
            PostCommand(IsShiftDown() ? CMD_PREV_FIELD : CMD_NEXT_FIELD);
            return true;
        case VK_RETURN:
            PostCommand(IDC_RECALCULATE);
            return true;
        case VK_ESCAPE:
            PostCommand(IDCANCEL);
            return true;
    }
    return false;
}

// Keys not listed go on to the platform: Alt+F chooses Clear Fields on the
// menu bar, Alt+H opens the Help menu and Alt+F4 closes the window.
bool HandleAltKey(WPARAM key) {
    for (const AltFieldKey& fieldKey : kAltFieldKeys) {
        if (fieldKey.key == key) {
            FocusField(g_hMainWnd, fieldKey.field);
            return true;
        }
    }
    for (const AltButtonKey& buttonKey : kAltButtonKeys) {
        if (buttonKey.key == key) {
            FlashAndPost(buttonKey.button, buttonKey.command);
            return true;
        }
    }
    return false;
}
