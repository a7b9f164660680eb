// Requests that wait, with a bound, until the calculator reaches a state.
#include <cstdio>
#include <cstring>

#include "probe.h"

namespace {

// The About box is a dialog owned by the main window.
HWND FindAboutBox(HWND window) {
    HWND about = FindWindowA("#32770", ABOUT_CAPTION);
    if (about == nullptr || GetWindow(about, GW_OWNER) != window || !IsWindowVisible(about)) {
        return nullptr;
    }
    return about;
}

struct PopupSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK LookForPopup(HWND candidate, LPARAM lParam) {
    PopupSearch& search = *reinterpret_cast<PopupSearch*>(lParam);
    char className[16] = "";
    GetClassNameA(candidate, className, sizeof className);
    if (std::strcmp(className, "#32768") == 0 && IsWindowVisible(candidate) &&
        GetWindowThreadProcessId(candidate, nullptr) == search.thread) {
        search.found = candidate;
        return FALSE;
    }
    return TRUE;
}

// A pop-up menu of the calculator's thread: the Help menu or the system menu.
HWND FindPopupMenu(HWND window) {
    PopupSearch search = {GetWindowThreadProcessId(window, nullptr), nullptr};
    EnumWindows(LookForPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWholeTextSelected(HWND control) {
    DWORD_PTR length = 0, selection = 0;
    if (!SendWithin(control, WM_GETTEXTLENGTH, 0, 0, length) ||
        !SendWithin(control, EM_GETSEL, 0, 0, selection)) {
        return false;
    }
    return LOWORD(selection) == 0 && HIWORD(selection) == length;
}

int WaitForFocus(HWND window, int argc, char** argv, bool wholeSelection) {
    int id = 0;
    if (!ArgId(argc, argv, 1, id)) {
        return 2;
    }
    const bool isInput = wholeSelection && id >= IDC_PRICE && id <= IDC_SELL;
    HWND focus = nullptr;
    if (WaitFor(ArgMs(argc, argv, 2), [&] {
            focus = FindFocus(window);
            return focus != nullptr && GetParent(focus) == window && GetDlgCtrlID(focus) == id &&
                   (!isInput || IsWholeTextSelected(focus));
        })) {
        return 0;
    }
    const int actual = focus == nullptr ? 0 : GetDlgCtrlID(focus);
    if (actual == id) {
        std::fprintf(stderr, "kemprobe: control %d has the focus, not its whole text selected\n",
                     id);
    } else {
        std::fprintf(stderr, "kemprobe: the focus is on %d, expected %d\n", actual, id);
    }
    return 1;
}

}  // namespace

int WaitShown(HWND, int argc, char** argv) {
    if (WaitFor(ArgMs(argc, argv, 1), [] {
            HWND window = FindMainWindow();
            return window != nullptr && IsWindowVisible(window) && !IsIconic(window) &&
                   GetDlgCtrlID(FindFocus(window)) == IDC_PRICE;
        })) {
        return 0;
    }
    std::fprintf(stderr, "kemprobe: no calculator window with the focus in the price field\n");
    return 1;
}

int WaitMinimized(HWND, int argc, char** argv) {
    if (WaitFor(ArgMs(argc, argv, 1), [] {
            HWND window = FindMainWindow();
            return window != nullptr && IsIconic(window);
        })) {
        return 0;
    }
    std::fprintf(stderr, "kemprobe: no minimized calculator window\n");
    return 1;
}

int WaitFocus(HWND window, int argc, char** argv) {
    return WaitForFocus(window, argc, argv, false);
}

int WaitSelected(HWND window, int argc, char** argv) {
    return WaitForFocus(window, argc, argv, true);
}

int WaitAbout(HWND window, int argc, char** argv) {
    HWND about = nullptr;
    if (!WaitFor(ArgMs(argc, argv, 1), [&] {
            about = FindAboutBox(window);
            HWND focus = FindFocus(window);
            return about != nullptr && focus != nullptr && GetAncestor(focus, GA_ROOT) == about;
        })) {
        std::fprintf(stderr, "kemprobe: %s\n",
                     about == nullptr ? "no About box" : "the About box has no focus");
        return 1;
    }
    PrintPoint(kAboutOkPlace, CentreOf(GetDlgItem(about, IDOK)));
    return 0;
}

int WaitNoAbout(HWND window, int argc, char** argv) {
    if (WaitFor(ArgMs(argc, argv, 1), [&] { return FindAboutBox(window) == nullptr; })) {
        return 0;
    }
    std::fprintf(stderr, "kemprobe: the About box is still shown\n");
    return 1;
}

int WaitPopup(HWND window, int argc, char** argv) {
    HWND popup = nullptr;
    if (!WaitFor(ArgMs(argc, argv, 1),
                 [&] { return (popup = FindPopupMenu(window)) != nullptr; })) {
        std::fprintf(stderr, "kemprobe: no pop-up menu\n");
        return 1;
    }
    RECT rect;
    GetWindowRect(popup, &rect);
    // The frame and half an entry: the middle of the first and the last
    // entry, whatever lies between.
    constexpr LONG kEntryMiddle = 11;
    const LONG middle = (rect.left + rect.right) / 2;
    PrintPoint(kFirstEntryPlace, {middle, rect.top + kEntryMiddle});
    PrintPoint(kLastEntryPlace, {middle, rect.bottom - kEntryMiddle});
    // The Help menu opens under its own entry on the menu bar.
    PrintPoint(kHelpPlace, MenuBarPoint(window, rect.left + 12));
    return 0;
}
