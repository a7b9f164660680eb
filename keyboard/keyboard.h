// The program's own keyboard routing. The message loop has no dialog-manager
// key handling, so Tab, Enter, Escape and the Alt letters are caught here:
// by superclasses of "Edit" and "Button" that filter key-down messages, and
// by the main window procedure for keys that reach the window itself.
#pragma once

#include <windows.h>

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

// Tab, Shift+Tab, Enter and Escape: post their command to the main window.
bool HandleNavKey(WPARAM key);
// Alt+P/C/B/S move to a field; Alt+Q/R/W flash a button, then post.
bool HandleAltKey(WPARAM key);
