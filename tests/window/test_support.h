// Helpers for the in-process window tests: the real main window built from
// the real resources, driven by real messages through the thread's queue.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "window.h"

// Registers the program's window classes once per process, as start-up does.
void RegisterClassesOnce();

// The main window, made by the real start-up code and, like the program's,
// one per process: closing a window costs Wine seconds on a display without a
// window manager. Tear-down empties the fields and recalculates, so every
// test starts from zero inputs with the focus in the price field.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// Destroys the main window and creates it again, as a new process would,
// shown the way a shortcut's "Run" setting asks for.
void RestartMainWindow(int nCmdShow = SW_SHOWNORMAL);

// Dispatches everything queued, the way the program's loop does (no dialog
// message handling). A quit message ends the pumping; its exit code is kept
// for TakeQuitCode.
void PumpPending();

// The exit code of the quit message pumped since the last call, or
// kNoQuit when none came.
constexpr int kNoQuit = -12345;
int TakeQuitCode();

// Pumps until `done` holds or `timeoutMs` has passed; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Runs the program's own message loop with a watchdog: a loop that does not
// end within `timeoutMs` returns kLoopTimedOut instead of hanging the test.
constexpr int kLoopTimedOut = 9999;
int RunLoopWithWatchdog(DWORD timeoutMs = 5000);

// Runs `trigger`, then, from inside the modal loop it starts (a dialog box or
// a menu), waits for `find` to return a window and runs `inside` on it;
// `inside` must end that loop. False when no such window appeared.
bool InsideModalLoop(const std::function<void()>& trigger, const std::function<HWND()>& find,
                     const std::function<void(HWND)>& inside);

// Posts the About command to the main window and runs `inside` on the About
// box from within its modal loop; `inside` must end that loop (close the box
// or post a quit). False when no About box appeared.
bool WithAboutBoxOpen(const std::function<void(HWND box)>& inside);

// The visible window owned by the main window (the About box), or null.
HWND FindOwnedPopup();

// The main window's control `id`: its text, and a name for failure messages.
std::string ControlText(int id);
std::string ControlName(int id);
void SetControlText(int id, const char* text);

// Types `text` into control `id` as character messages.
void TypeText(int id, const char* text);

// The id of the control with the keyboard focus, 0 when none.
int FocusedId();

// True when the edit field `id` has its whole text selected.
bool WholeTextSelected(int id);

// Real key input through the system's input queue, to whatever window has
// the keyboard focus: `modifiers` held down around one press of `key`.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// Like a user holding Shift while pressing Tab: the modifiers stay down
// until `done` holds (or the wait times out), then come up. Keys whose
// handler reads the live modifier state need this.
bool PressKeyHolding(WORD key, std::initializer_list<WORD> modifiers,
                     const std::function<bool()>& done);

// Presses the keys that type `text`, with Shift where a character needs it,
// and pumps until they have all been taken from the queue.
void TypeKeys(const char* text);

// Makes the main window the foreground window, which real key input goes to.
bool BringToFront();

// True once every key and mouse message of the thread has been taken.
bool InputQueueEmpty();

// What happened to the main window while a ControlWatch was on: button
// state changes and text changes sent to its controls, and commands posted
// to the window itself, each with the time it happened.
struct ControlEvent {
    int id;            // the control's id; 0 for a command to the main window
    UINT message;      // BM_SETSTATE, WM_SETTEXT or WM_COMMAND
    WPARAM wParam;     // BM_SETSTATE: 1 pushed in, 0 released
    LPARAM lParam;     // WM_COMMAND only
    std::string text;  // WM_SETTEXT only
    bool drawnPushed;  // the button's state once the message was handled
    double ms;         // since the watch started
};

// Watches through hooks on this thread's sent messages and on the posted
// messages it takes from its queue, not by asking the code under test.
void StartControlWatch();
std::vector<ControlEvent> StopControlWatch();

// The directory of the test executable, with a trailing backslash.
std::string ExecutableDirectory();
