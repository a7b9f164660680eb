// The About box: a modal dialog that only needs to close again.
#include "window.h"

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            // The dialog manager focuses the first control that takes it: OK.
            return 1;
        case WM_COMMAND:
            if (wParam == IDOK || wParam == IDCANCEL) {
                EndDialog(dialog, 1);
                return 1;
            }
            return 0;
    }
    return 0;
}
