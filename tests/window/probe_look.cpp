// Requests that read the calculator: its texts, focus, controls and places.
#include <cstdio>
#include <cstring>

#include "probe.h"
#include "window.h"

namespace {

// Far beyond any text the window may hold: result texts have at most 79
// characters and an input field only what fits its visible width.
constexpr int kTextRoom = 1024;

struct ControlText {
    char text[kTextRoom];
};

// Reads a control's whole text. Fails on a text that does not fit the room
// or that holds a tab or line break, which the output lines could not carry.
bool ReadControlText(HWND window, int id, ControlText& control) {
    control.text[0] = '\0';
    HWND child = GetDlgItem(window, id);
    DWORD_PTR length = 0, copied = 0;
    if (child == nullptr || !SendWithin(child, WM_GETTEXTLENGTH, 0, 0, length) ||
        length >= static_cast<DWORD_PTR>(kTextRoom) ||
        !SendWithin(child, WM_GETTEXT, kTextRoom, reinterpret_cast<LPARAM>(control.text), copied)) {
        std::fprintf(stderr, "kemprobe: control %d does not answer or holds too much\n", id);
        return false;
    }
    if (std::strpbrk(control.text, "\t\r\n") != nullptr) {
        std::fprintf(stderr, "kemprobe: control %d holds a tab or line break\n", id);
        return false;
    }
    return true;
}

bool PrintIdLines(HWND window, const int* ids, int count) {
    for (int i = 0; i < count; ++i) {
        ControlText control;
        if (!ReadControlText(window, ids[i], control)) {
            return false;
        }
        std::printf("%d %s\n", ids[i], control.text);
    }
    return true;
}

bool PrintTabLine(HWND window, const int* ids, int count) {
    for (int i = 0; i < count; ++i) {
        ControlText control;
        if (!ReadControlText(window, ids[i], control)) {
            return false;
        }
        std::printf("%s%s", i == 0 ? "" : "\t", control.text);
    }
    std::printf("\n");
    return true;
}

BOOL CALLBACK PrintControl(HWND child, LPARAM) {
    char className[64] = "", text[128] = "";
    GetClassNameA(child, className, sizeof className);
    SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%d\t%s\t\"%s\"\t%08lx\t%ld %ld %ld %ld\n", static_cast<short>(GetDlgCtrlID(child)),
                className, text, static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return TRUE;
}

}  // namespace

int PrintTexts(HWND window, int, char**) {
    return PrintIdLines(window, kInputIds, 4) && PrintIdLines(window, kResultIds, 6) ? 0 : 1;
}

int PrintSnapshot(HWND window, int, char**) {
    DWORD_PTR result = 0;
    if (!SendWithin(window, WM_NULL, 0, 0, result)) {
        std::fprintf(stderr, "kemprobe: the calculator does not answer\n");
        return 1;
    }
    if (!PrintTabLine(window, kInputIds, 4) || !PrintTabLine(window, kResultIds, 6)) {
        return 1;
    }
    PrintFocus(window);
    return 0;
}

int PrintFocusRequest(HWND window, int, char**) {
    PrintFocus(window);
    return 0;
}

int PrintSelection(HWND window, int argc, char** argv) {
    int id = 0;
    if (!ArgId(argc, argv, 1, id)) {
        return 2;
    }
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(window, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    std::printf("%lu %lu\n", start, end);
    return 0;
}

int PrintCentre(HWND window, int argc, char** argv) {
    int id = 0;
    if (!ArgId(argc, argv, 1, id)) {
        return 2;
    }
    const POINT centre = CentreOf(GetDlgItem(window, id));
    std::printf("%ld %ld\n", centre.x, centre.y);
    return 0;
}

int PrintWindowRect(HWND window, int, char**) {
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}

int PrintLayout(HWND window, int, char**) {
    EnumChildWindows(window, PrintControl, 0);
    return 0;
}

int PrintPlaces(HWND window, int, char**) {
    for (const ControlPlace& place : kFieldPlaces) {
        PrintPoint(place.name, CentreOf(GetDlgItem(window, place.id)));
    }
    for (const ControlPlace& place : kButtonPlaces) {
        PrintPoint(place.name, CentreOf(GetDlgItem(window, place.id)));
    }
    // Clear Fields is the menu bar's first entry: a little right of the
    // client area's left edge is on it.
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    PrintPoint(kClearPlace, MenuBarPoint(window, client.x + 12));
    return 0;
}

int PrintTitle(HWND, int, char**) {
    std::printf("%s\n", MAIN_CAPTION);
    return 0;
}

int PrintPage(HWND, int argc, char** argv) {
    const char* which = argc > 1 ? argv[1] : "";
    const char* address = std::strcmp(which, "website") == 0 ? WebsitePage
                          : std::strcmp(which, "help") == 0  ? HelpPage
                                                             : nullptr;
    if (address == nullptr) {
        return 2;
    }
    std::printf("%s%s\n", StartCommand, address);
    return 0;
}
