// kemsoakprobe: the soak test's eyes on a running calculator, from another
// process. Each request answers on standard output (LF line ends) and every
// wait polls with a bound, so a stuck calculator fails the request instead of
// hanging the test.
//
//   kemsoakprobe shown <ms>       wait until the main window is shown with the focus in
//                                 the price field
//   kemsoakprobe snapshot         line 1: the four input field texts, tab-separated
//                                 (a kemcalc --tsv line); line 2: the six result texts,
//                                 tab-separated (kemcalc's answer line); line 3: the id
//                                 of the control with the focus (0 for none)
//   kemsoakprobe places           "<name> <x> <y>" for every spot the soak clicks: the
//                                 four fields, the Recalculate and Website buttons and
//                                 the Clear Fields entry of the menu bar
//   kemsoakprobe focus <id> <ms>  wait until control <id> of the main window has the focus
//   kemsoakprobe selected <id> <ms>  the same, and for an input field its whole text
//                                 selected as well
//   kemsoakprobe about <ms>       wait until the About box is shown with the focus in
//                                 it; print "ok <x> <y>", the screen centre of its OK button
//   kemsoakprobe no-about <ms>    wait until no About box is left
//   kemsoakprobe popup <ms>       wait until a pop-up menu of the calculator is shown;
//                                 print its screen rectangle "left top right bottom"
//
// Exit code 0 on success; 1 when the window is missing, does not answer, holds
// a text this format cannot carry, or a wait ran out; 2 on a bad request.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resource.h"

namespace {

constexpr DWORD kPollMs = 10;
// A calculator that takes longer than this to answer one message is hung.
constexpr UINT kAnswerMs = 5000;
// Far beyond any text the window may hold: result texts have at most 79
// characters and an input field only what fits its visible width.
constexpr int kTextRoom = 1024;

constexpr int kInputIds[] = {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL};
constexpr int kResultIds[] = {IDC_ANNUAL_SALES,  IDC_GROSS_PROFIT,  IDC_GP_PERCENT,
                              IDC_MONTHS_SUPPLY, IDC_AVG_INVENTORY, IDC_RETURN_ON_INVENTORY};

struct ControlText {
    char text[kTextRoom];
};

HWND FindMainWindow() {
    return FindWindowA("KEMWClass", nullptr);
}

// The control with the keyboard focus in the calculator's thread.
HWND FindFocus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kAnswerMs, &result) != 0;
}

bool IsAnswering(HWND window) {
    DWORD_PTR result = 0;
    return SendWithin(window, WM_NULL, 0, 0, result);
}

// Reads a control's whole text. Fails on a text that does not fit the room
// or that holds a tab or line break, since the output lines could not carry it.
bool ReadControlText(HWND window, int id, ControlText& control) {
    control.text[0] = '\0';
    HWND child = GetDlgItem(window, id);
    DWORD_PTR length = 0;
    if (child == nullptr || !SendWithin(child, WM_GETTEXTLENGTH, 0, 0, length)) {
        std::fprintf(stderr, "kemsoakprobe: control %d does not answer\n", id);
        return false;
    }
    if (length >= static_cast<DWORD_PTR>(kTextRoom)) {
        std::fprintf(stderr, "kemsoakprobe: control %d holds %lu characters\n", id,
                     static_cast<unsigned long>(length));
        return false;
    }
    DWORD_PTR copied = 0;
    if (!SendWithin(child, WM_GETTEXT, kTextRoom, reinterpret_cast<LPARAM>(control.text), copied)) {
        std::fprintf(stderr, "kemsoakprobe: control %d does not answer\n", id);
        return false;
    }
    if (std::strpbrk(control.text, "\t\r\n") != nullptr) {
        std::fprintf(stderr, "kemsoakprobe: control %d holds a tab or line break\n", id);
        return false;
    }
    return true;
}

bool PrintTexts(HWND window, const int* ids, int count) {
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

int PrintSnapshot(HWND window) {
    if (!IsAnswering(window)) {
        std::fprintf(stderr, "kemsoakprobe: the calculator does not answer\n");
        return 1;
    }
    if (!PrintTexts(window, kInputIds, 4) || !PrintTexts(window, kResultIds, 6)) {
        return 1;
    }
    HWND focus = FindFocus(window);
    std::printf("%d\n", focus == nullptr ? 0 : GetDlgCtrlID(focus));
    return 0;
}

void PrintControlCentre(const char* name, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    std::printf("%s %ld %ld\n", name, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

int PrintPlaces(HWND window) {
    struct Place {
        const char* name;
        int id;
    };
    constexpr Place kPlaces[] = {
        {"price", IDC_PRICE},
        {"cost", IDC_COST},
        {"buy", IDC_BUY},
        {"sell", IDC_SELL},
        {"recalculate", IDC_RECALCULATE},
        {"website", IDC_WEBSITE},
    };
    for (const Place& place : kPlaces) {
        PrintControlCentre(place.name, GetDlgItem(window, place.id));
    }
    // The menu bar lies between the caption and the client area; Clear Fields
    // is its first entry, so a point a little right of the client area's left
    // edge is on it.
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    const int barHeight = GetSystemMetrics(SM_CYMENU);
    std::printf("clear %ld %ld\n", client.x + 12, client.y - barHeight / 2);
    return 0;
}

// One condition the waits below poll for; `found` is the window it is about.
struct Sighting {
    HWND found = nullptr;
    bool seen = false;
};

// Polls `look` until it reports the condition or `timeoutMs` has passed.
template <typename Look>
bool WaitFor(DWORD timeoutMs, Look look, Sighting& sighting) {
    const DWORD start = GetTickCount();
    for (;;) {
        sighting = look();
        if (sighting.seen) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
}

// The About box is a dialog owned by the main window.
HWND FindAboutBox(HWND window) {
    HWND about = FindWindowA("#32770", "About KEM Calculator");
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

int WaitForFocus(HWND window, int id, bool wholeSelection, DWORD timeoutMs) {
    const bool isInput = wholeSelection && id >= IDC_PRICE && id <= IDC_SELL;
    Sighting sighting;
    const bool reached = WaitFor(
        timeoutMs,
        [&] {
            Sighting now;
            now.found = FindFocus(window);
            now.seen = now.found != nullptr && GetDlgCtrlID(now.found) == id &&
                       GetParent(now.found) == window &&
                       (!isInput || IsWholeTextSelected(now.found));
            return now;
        },
        sighting);
    if (!reached) {
        const int actual = sighting.found == nullptr ? 0 : GetDlgCtrlID(sighting.found);
        if (actual == id) {
            std::fprintf(stderr,
                         "kemsoakprobe: control %d has the focus, but not its whole text "
                         "selected\n",
                         id);
        } else {
            std::fprintf(stderr, "kemsoakprobe: the focus is on %d, expected %d\n", actual, id);
        }
        return 1;
    }
    return 0;
}

int WaitForMainWindow(DWORD timeoutMs) {
    Sighting sighting;
    if (!WaitFor(
            timeoutMs,
            [] {
                Sighting now;
                now.found = FindMainWindow();
                now.seen = now.found != nullptr && IsWindowVisible(now.found) &&
                           GetDlgCtrlID(FindFocus(now.found)) == IDC_PRICE;
                return now;
            },
            sighting)) {
        std::fprintf(stderr,
                     "kemsoakprobe: no calculator window with the focus in the price "
                     "field\n");
        return 1;
    }
    return 0;
}

int WaitForAbout(HWND window, DWORD timeoutMs) {
    Sighting sighting;
    const bool shown = WaitFor(
        timeoutMs,
        [&] {
            Sighting now;
            now.found = FindAboutBox(window);
            HWND focus = FindFocus(window);
            now.seen = now.found != nullptr && focus != nullptr &&
                       GetAncestor(focus, GA_ROOT) == now.found;
            return now;
        },
        sighting);
    if (!shown) {
        std::fprintf(stderr, "kemsoakprobe: %s\n",
                     sighting.found == nullptr ? "no About box" : "the About box has no focus");
        return 1;
    }
    PrintControlCentre("ok", GetDlgItem(sighting.found, IDOK));
    return 0;
}

int WaitForNoAbout(HWND window, DWORD timeoutMs) {
    Sighting sighting;
    if (!WaitFor(
            timeoutMs,
            [&] {
                Sighting now;
                now.seen = FindAboutBox(window) == nullptr;
                return now;
            },
            sighting)) {
        std::fprintf(stderr, "kemsoakprobe: the About box is still shown\n");
        return 1;
    }
    return 0;
}

int WaitForPopup(HWND window, DWORD timeoutMs) {
    Sighting sighting;
    if (!WaitFor(
            timeoutMs,
            [&] {
                Sighting now;
                now.found = FindPopupMenu(window);
                now.seen = now.found != nullptr;
                return now;
            },
            sighting)) {
        std::fprintf(stderr, "kemsoakprobe: no pop-up menu\n");
        return 1;
    }
    RECT rect;
    GetWindowRect(sighting.found, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

DWORD ArgMs(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : 10000;
}

}  // namespace

int main(int argc, char** argv) {
    // LF line ends, so the shell compares the lines with kemcalc's as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: kemsoakprobe shown|snapshot|places|focus|selected|about|no-about|popup "
            "...\n");
        return 2;
    }
    const char* verb = argv[1];
    if (std::strcmp(verb, "shown") == 0) {
        return WaitForMainWindow(ArgMs(argc, argv, 2));
    }
    HWND window = FindMainWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "kemsoakprobe: no calculator window\n");
        return 1;
    }
    if (std::strcmp(verb, "snapshot") == 0) {
        return PrintSnapshot(window);
    }
    if (std::strcmp(verb, "places") == 0) {
        return PrintPlaces(window);
    }
    if (std::strcmp(verb, "focus") == 0 && argc > 2) {
        return WaitForFocus(window, std::atoi(argv[2]), false, ArgMs(argc, argv, 3));
    }
    if (std::strcmp(verb, "selected") == 0 && argc > 2) {
        return WaitForFocus(window, std::atoi(argv[2]), true, ArgMs(argc, argv, 3));
    }
    if (std::strcmp(verb, "about") == 0) {
        return WaitForAbout(window, ArgMs(argc, argv, 2));
    }
    if (std::strcmp(verb, "no-about") == 0) {
        return WaitForNoAbout(window, ArgMs(argc, argv, 2));
    }
    if (std::strcmp(verb, "popup") == 0) {
        return WaitForPopup(window, ArgMs(argc, argv, 2));
    }
    std::fprintf(stderr, "kemsoakprobe: unknown request %s\n", verb);
    return 2;
}
