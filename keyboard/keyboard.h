// The program's own keyboard routing. The message loop has no dialog-manager
// key handling, so Tab, Enter, Escape and the Alt letters are caught here:
// by superclasses of "Edit" and "Button" that filter key-down messages, and
// by the main window procedure for keys that reach the window itself.
#pragma once

#include <windows.h>

#include "resource.h"

// The system classes' own window procedures, saved when the superclasses are
// registered; null until then.
extern WNDPROC g_pfnEditProc;
extern WNDPROC g_pfnButtonProc;

// Each registers its superclass once for the program's module; false when
// already registered or when the platform refuses.
bool RegisterEditFilter(HINSTANCE hInstance);
bool RegisterButtonFilter(HINSTANCE hInstance);

LRESULT CALLBACK EditFilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonFilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The Alt letters of the four fields: each moves to its field.
struct AltFieldKey {
    WPARAM key;
    int field;
};
inline constexpr AltFieldKey kAltFieldKeys[] = {
    {'P', IDC_PRICE},
    {'C', IDC_COST},
    {'B', IDC_BUY},
    {'S', IDC_SELL},
};

// How long a flashed button shows pushed in: long enough to see it go down
// and up again.
inline constexpr DWORD kFlashMs = 100;

// The Alt letters of three buttons: each flashes its button, then posts its
// command.
struct AltButtonKey {
    WPARAM key;
    int button;
    WPARAM command;
};
inline constexpr AltButtonKey kAltButtonKeys[] = {
    {'Q', IDOK, IDCANCEL},
    {'R', IDC_RECALCULATE, IDC_RECALCULATE},
    {'W', IDC_WEBSITE, CMD_WEBSITE_KEY},
};

// Tab, Shift+Tab, Enter and Escape: post their command to the main window.
bool HandleNavKey(WPARAM key);
// The Alt letters of the two tables above; false for any other key.
bool HandleAltKey(WPARAM key);
