// Superclasses of the system "Edit" and "Button" classes under the same
// names, registered for the program's own module: every edit field and button
// its dialogs create gets the key filter, while everything else still goes
// to the system's procedure.
#include "keyboard.h"

WNDPROC g_pfnEditProc = nullptr;
WNDPROC g_pfnButtonProc = nullptr;

namespace {

bool RegisterFilter(HINSTANCE hInstance, const char* className, WNDPROC filter, WNDPROC& saved) {
    if (saved != nullptr) {
        return false;
    }
    WNDCLASSA wc = {};
    // Its result is ignored. Should the system lack the class, the zeroed
    // class is registered all the same and registration succeeds; but the
    // saved procedure stays null, and CallWindowProcA with a null
    // procedure does nothing and answers 0 to every message, WM_NCCREATE
    // included. No control of the class can then be created, so the main
    // window's template fails to build and start-up ends there, silently.
    GetClassInfoA(nullptr, className, &wc);
    saved = wc.lpfnWndProc;
    wc.lpfnWndProc = filter;
    wc.hInstance = hInstance;
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0;
}

// Only key-down messages are filtered: the character messages made from the
// same keys reach the control as usual, so typing and Space still work.
bool FilterKey(UINT message, WPARAM key) {
    switch (message) {
        case WM_KEYDOWN:
            return HandleNavKey(key);
        case WM_SYSKEYDOWN:
            return HandleAltKey(key);
    }
    return false;
}

}  // namespace

bool RegisterEditFilter(HINSTANCE hInstance) {
    return RegisterFilter(hInstance, "Edit", EditFilterProc, g_pfnEditProc);
}

bool RegisterButtonFilter(HINSTANCE hInstance) {
    return RegisterFilter(hInstance, "Button", ButtonFilterProc, g_pfnButtonProc);
}

LRESULT CALLBACK EditFilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (FilterKey(message, wParam)) {
        return 1;
    }
    return CallWindowProcA(g_pfnEditProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ButtonFilterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (FilterKey(message, wParam)) {
        return 1;
    }
    return CallWindowProcA(g_pfnButtonProc, hwnd, message, wParam, lParam);
}
