// What each key does. Keys become commands posted to the main window, so the
// action runs in one place, in turn with the other queued messages; only the
// Alt focus moves act at once.
#include "keyboard.h"
#include "window.h"

namespace {

// Long enough to see the button go down and up again.
constexpr DWORD kFlashMs = 100;

bool IsShiftDown() {
    // The key's state right now, not when the Tab message was queued.
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

void PostCommand(WPARAM command) {
    PostMessageA(g_hMainWnd, WM_COMMAND, command, 0);
}

// Shows the button pushed in for a moment, as if clicked, then posts its
// command; the command runs after the flash, when the loop reads the queue.
void FlashAndPost(int buttonId, WPARAM command) {
    HWND button = GetDlgItem(g_hMainWnd, buttonId);
    SendMessageA(button, BM_SETSTATE, 1, 0);
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
    switch (key) {
        case 'B':
            FocusField(g_hMainWnd, IDC_BUY);
            return true;
        case 'C':
            FocusField(g_hMainWnd, IDC_COST);
            return true;
        case 'P':
            FocusField(g_hMainWnd, IDC_PRICE);
            return true;
        case 'S':
            FocusField(g_hMainWnd, IDC_SELL);
            return true;
        case 'Q':
            FlashAndPost(IDOK, IDCANCEL);
            return true;
        case 'R':
            FlashAndPost(IDC_RECALCULATE, IDC_RECALCULATE);
            return true;
        case 'W':
            FlashAndPost(IDC_WEBSITE, CMD_WEBSITE_KEY);
            return true;
    }
    return false;
}
