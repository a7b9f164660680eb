// kemprobe: looks at and drives a running calculator from another process,
// the way a user's eyes and hands would, for the end-to-end tests and the
// soak. Each request is a function given the calculator's main window (null
// for the requests that need none) and the arguments from its own name on;
// it returns the exit code: 0 done, 1 the window does not answer or a wait
// ran out, 2 a bad request.
#pragma once

#include <windows.h>

#include "resource.h"

// A calculator that takes longer than this to answer one message is hung.
constexpr UINT kAnswerMs = 5000;
// How long a wait lasts when the request names no time.
constexpr DWORD kDefaultWaitMs = 10000;

// The places the soak clicks, by the names its plan and its replay share.
struct ControlPlace {
    const char* name;
    int id;
};
inline constexpr ControlPlace kFieldPlaces[] = {
    {"price", IDC_PRICE},
    {"cost", IDC_COST},
    {"buy", IDC_BUY},
    {"sell", IDC_SELL},
};
inline constexpr ControlPlace kButtonPlaces[] = {
    {"recalculate", IDC_RECALCULATE},
    {"website", IDC_WEBSITE},
};
// Entries of the menu bar, and of the pop-up menu open now.
inline constexpr char kClearPlace[] = "clear";
inline constexpr char kHelpPlace[] = "help";
inline constexpr char kFirstEntryPlace[] = "popup-first";
inline constexpr char kLastEntryPlace[] = "popup-last";
// The About box's OK button.
inline constexpr char kAboutOkPlace[] = "about-ok";

HWND FindMainWindow();
// The window with the keyboard focus in the calculator's thread, or null.
HWND FindFocus(HWND window);
// The focus as the tests name it: a control's id, "window" for the main
// window itself, 0 for none.
void PrintFocus(HWND window);
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result);
void PrintPoint(const char* name, POINT point);
POINT CentreOf(HWND window);
// A point on the menu bar, `x` screen pixels from the left: the bar lies
// between the caption and the client area.
POINT MenuBarPoint(HWND window, LONG x);

// argv[index] as a control id; false after a message when it is missing.
bool ArgId(int argc, char** argv, int index, int& id);
// argv[index] as milliseconds, or kDefaultWaitMs when it is not given.
DWORD ArgMs(int argc, char** argv, int index);

// Polls `holds` every few milliseconds until it returns true or `timeoutMs`
// has passed; the one wait of the probe, so a stuck calculator fails a
// request instead of hanging it.
template <typename Condition>
bool WaitFor(DWORD timeoutMs, Condition holds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (holds()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
}

// Reading: probe_look.cpp.
int PrintTexts(HWND window, int argc, char** argv);
int PrintSnapshot(HWND window, int argc, char** argv);
int PrintFocusRequest(HWND window, int argc, char** argv);
int PrintSelection(HWND window, int argc, char** argv);
int PrintCentre(HWND window, int argc, char** argv);
int PrintWindowRect(HWND window, int argc, char** argv);
int PrintLayout(HWND window, int argc, char** argv);
int PrintPlaces(HWND window, int argc, char** argv);
int PrintTitle(HWND window, int argc, char** argv);
int PrintPage(HWND window, int argc, char** argv);

// Acting: probe_act.cpp.
int SetText(HWND window, int argc, char** argv);
int PostCommand(HWND window, int argc, char** argv);
int PostClose(HWND window, int argc, char** argv);

// Waiting: probe_wait.cpp.
int WaitShown(HWND window, int argc, char** argv);
int WaitMinimized(HWND window, int argc, char** argv);
int WaitFocus(HWND window, int argc, char** argv);
int WaitSelected(HWND window, int argc, char** argv);
int WaitAbout(HWND window, int argc, char** argv);
int WaitNoAbout(HWND window, int argc, char** argv);
int WaitPopup(HWND window, int argc, char** argv);

// The screen: probe_flash.cpp.
int MeasureFlash(HWND window, int argc, char** argv);

// The soak's steps: probe_plan.cpp.
int PrintPlan(HWND window, int argc, char** argv);
