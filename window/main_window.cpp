// The main window class and its window procedure. The window is a dialog
// template with a class of its own: the dialog manager lays out the controls,
// while every message comes here first.
#include "keyboard.h"
#include "window.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;

bool RegisterMainClass(HINSTANCE hInstance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.cbClsExtra = 0;
    // A window that the dialog manager runs keeps its state in these bytes.
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, "PROGICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = "KEMMenu";
    wc.lpszClassName = "KEMWClass";
    return RegisterClassA(&wc) != 0;
}

bool CreateMainWindow(HINSTANCE hInstance, int nCmdShow) {
    g_hInstance = hInstance;
    // No dialog procedure: the template names the class "KEMWClass", so the
    // window gets MainWindowProc.
    g_hMainWnd = CreateDialogParamA(hInstance, "KEMWClass", nullptr, nullptr, 0);
    if (g_hMainWnd == nullptr) {
        return false;
    }
    // The zero-state results are in place before the window is first drawn.
    ShowResults(g_hMainWnd);
    ShowWindow(g_hMainWnd, nCmdShow);
    SetFocus(GetDlgItem(g_hMainWnd, IDC_PRICE));
    return true;
}

namespace {

// Start-up's SetFocus on the price field is refused while the window is
// minimized (a shortcut set to "Run: Minimized"), and activation then leaves
// the focus on the main window itself, where typing goes nowhere. So once
// the window is activated and shown, with no control holding the focus, the
// focus goes where start-up meant it to be.
LRESULT ActivateMainWindow(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // The dialog manager first gives back the focus it saved on deactivation.
    const LRESULT result = DefDlgProcA(hwnd, WM_ACTIVATE, wParam, lParam);
    const bool shown = LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0;
    HWND focus = GetFocus();
    if (shown && (focus == nullptr || focus == hwnd)) {
        FocusField(hwnd, IDC_PRICE);
    }
    return result;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            return ActivateMainWindow(hwnd, wParam, lParam);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 1;
        // Keys that reach the window itself, not one of its controls.
        case WM_KEYDOWN:
            if (HandleNavKey(wParam)) {
                return 1;
            }
            break;
        case WM_SYSKEYDOWN:
            if (HandleAltKey(wParam)) {
                return 1;
            }
            break;
        case WM_COMMAND:
            // The whole wParam: a notification with a nonzero code is no quit.
            if (wParam == IDOK || wParam == IDCANCEL) {
                PostQuitMessage(0);
                return 1;
            }
            // Commands end here: one that HandleCommand does not know goes nowhere.
            return HandleCommand(hwnd, wParam);
    }
    return DefDlgProcA(hwnd, message, wParam, lParam);
}
