// The command dispatcher and the actions behind it: recalculating, clearing
// the fields, the About box, the two pages and the focus ring.
#include "focus_ring.h"
#include "window.h"

namespace {

// The stop the focus is at now. The main window itself holding the focus
// (a minimized start, until the window is activated) stands just before the
// price field: its own "id" would be its menu handle, whose neighbours exist
// nowhere, and the keyboard would be lost. No focus at all is id 0.
FocusStop FindFocusStop(HWND hwnd) {
    HWND focus = GetFocus();
    if (focus == hwnd) {
        return kRingStart;
    }
    const int id = GetDlgCtrlID(focus);
    for (const FocusStop& stop : kFocusRing) {
        if (stop.id == id) {
            return stop;
        }
    }
    // An id off the ring moves to its numeric neighbour.
    return {id, id + 1, id - 1};
}

void OpenAboutBox(HWND hwnd) {
    // Modal: the platform's loop keeps dispatching what is posted to the main
    // window meanwhile. A failure to open it is not reported.
    DialogBoxParamA(g_hInstance, "AboutBox", hwnd, AboutBoxProc, 0);
}

void Recalculate(HWND hwnd) {
    ReadInputs(hwnd);
    ShowResults(hwnd);
    FocusField(hwnd, IDC_PRICE);
}

}  // namespace

LRESULT HandleCommand(HWND hwnd, WPARAM wParam) {
    // Taken before anything else runs, which could move the focus.
    const FocusStop from = FindFocusStop(hwnd);
    // The whole wParam: control notifications with a nonzero code match nothing.
    switch (wParam) {
        case CMD_ABOUT:
            OpenAboutBox(hwnd);
            return 1;
        case CMD_CLEAR_FIELDS:
            ClearInputs(hwnd);
            FocusField(hwnd, IDC_PRICE);
            return 1;
        case CMD_ONLINE_HELP:
            OpenPage(HelpPage);
            return 1;
        case CMD_WEBSITE_KEY:
        case IDC_WEBSITE:
            OpenPage(WebsitePage);
            return 1;
        case CMD_NEXT_FIELD:
            FocusField(hwnd, from.next);
            return 1;
        case CMD_PREV_FIELD:
            FocusField(hwnd, from.previous);
            return 1;
        case IDC_RECALCULATE:
            Recalculate(hwnd);
            return 1;
    }
    return 0;
}

void FocusField(HWND hwnd, int id) {
    // With no such control this takes the focus away from every window of
    // the program, and the selection message below goes nowhere.
    HWND control = GetDlgItem(hwnd, id);
    SetFocus(control);
    // Selects the whole text of an edit field; a button ignores it.
    SendMessageA(control, EM_SETSEL, 0, 0x7FFF);
}

void ClearInputs(HWND hwnd) {
    for (int id : kInputIds) {
        SetDlgItemTextA(hwnd, id, "");
    }
    // Posted, so the emptied fields are read back through the same road as
    // any recalculation, once the queue gets to it.
    PostMessageA(hwnd, WM_COMMAND, IDC_RECALCULATE, 0);
}
