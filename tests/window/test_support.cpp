#include "test_support.h"

#include "keyboard.h"
#include "resource.h"

void RegisterClassesOnce() {
    static bool registered = false;
    if (!registered) {
        // In start-up's order: the control superclasses, then the main class.
        HINSTANCE module = GetModuleHandleA(nullptr);
        registered =
            RegisterEditFilter(module) && RegisterButtonFilter(module) && RegisterMainClass(module);
    }
}

namespace {

int s_quitCode = kNoQuit;

}  // namespace

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            s_quitCode = static_cast<int>(msg.wParam);
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void MainWindowTest::SetUp() {
    RegisterClassesOnce();
    if (!IsWindow(g_hMainWnd)) {
        ASSERT_TRUE(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL));
    }
    PumpPending();
    TakeQuitCode();
}

void MainWindowTest::TearDown() {
    if (IsWindow(g_hMainWnd)) {
        // A quit inside the About box ends that box's modal loop without
        // re-enabling its owner; a real process ends right there, so the
        // next test gets the window back the way a new process would have it.
        EnableWindow(g_hMainWnd, TRUE);
        for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
            SetDlgItemTextA(g_hMainWnd, id, "");
        }
        SendMessageA(g_hMainWnd, WM_COMMAND, IDC_RECALCULATE, 0);
    }
    PumpPending();
    TakeQuitCode();
}

void RestartMainWindow(int nCmdShow) {
    if (IsWindow(g_hMainWnd)) {
        DestroyWindow(g_hMainWnd);
    }
    PumpPending();
    TakeQuitCode();
    CreateMainWindow(GetModuleHandleA(nullptr), nCmdShow);
    PumpPending();
}

int TakeQuitCode() {
    const int code = s_quitCode;
    s_quitCode = kNoQuit;
    return code;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        // Wakes on the next message, or after a short while to poll again.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {

void CALLBACK EndStuckLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(kLoopTimedOut);
}

}  // namespace

int RunLoopWithWatchdog(DWORD timeoutMs) {
    const UINT_PTR timer = SetTimer(nullptr, 0, timeoutMs, EndStuckLoop);
    const int exitCode = RunMessageLoop();
    KillTimer(nullptr, timer);
    return exitCode;
}

namespace {

std::function<HWND()> s_findModal;
std::function<void(HWND)> s_insideModal;
bool s_modalSeen = false;
int s_modalTicks = 0;
constexpr int kModalTickMs = 20;
constexpr int kModalMaxTicks = 250;

BOOL CALLBACK TakeOwnedPopup(HWND hwnd, LPARAM found) {
    if (GetWindow(hwnd, GW_OWNER) == g_hMainWnd && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the modal loop, which dispatches thread timers like any loop.
void CALLBACK LookForModalWindow(HWND, UINT, UINT_PTR id, DWORD) {
    HWND window = s_findModal();
    if (window != nullptr) {
        KillTimer(nullptr, id);
        s_modalSeen = true;
        s_insideModal(window);
    } else if (++s_modalTicks > kModalMaxTicks) {
        // Whatever modal loop runs now ends on a quit message; the test fails
        // instead of hanging.
        KillTimer(nullptr, id);
        PostQuitMessage(kLoopTimedOut);
    }
}

}  // namespace

HWND FindOwnedPopup() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeOwnedPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool InsideModalLoop(const std::function<void()>& trigger, const std::function<HWND()>& find,
                     const std::function<void(HWND)>& inside) {
    s_findModal = find;
    s_insideModal = inside;
    s_modalSeen = false;
    s_modalTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kModalTickMs, LookForModalWindow);
    trigger();
    PumpUntil([] { return s_modalSeen; });
    KillTimer(nullptr, timer);
    return s_modalSeen;
}

bool WithAboutBoxOpen(const std::function<void(HWND box)>& inside) {
    return InsideModalLoop([] { PostMessageA(g_hMainWnd, WM_COMMAND, CMD_ABOUT, 0); },
                           FindOwnedPopup, inside);
}

std::string ControlText(int id) {
    char text[256] = "";
    GetDlgItemTextA(g_hMainWnd, id, text, sizeof text);
    return text;
}

std::string ControlName(int id) {
    switch (id) {
        case IDC_PRICE:
            return "price field";
        case IDC_COST:
            return "cost field";
        case IDC_BUY:
            return "bought field";
        case IDC_SELL:
            return "sold field";
        case IDC_RECALCULATE:
            return "Recalculate button";
        case IDC_WEBSITE:
            return "Website button";
        case IDOK:
            return "Quit button";
        case IDC_ANNUAL_SALES:
            return "Annual Sales";
        case IDC_GROSS_PROFIT:
            return "Gross Profit";
        case IDC_GP_PERCENT:
            return "Gross Profit Percentage";
        case IDC_MONTHS_SUPPLY:
            return "Months Supply";
        case IDC_AVG_INVENTORY:
            return "Average Inventory";
        case IDC_RETURN_ON_INVENTORY:
            return "Return on Inventory";
        case 0:
            return "no control";
    }
    return "control " + std::to_string(id);
}

void SetControlText(int id, const char* text) {
    SetDlgItemTextA(g_hMainWnd, id, text);
}

void TypeText(int id, const char* text) {
    HWND control = GetDlgItem(g_hMainWnd, id);
    for (const char* c = text; *c != '\0'; ++c) {
        SendMessageA(control, WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
}

int FocusedId() {
    HWND focus = GetFocus();
    return focus == nullptr ? 0 : GetDlgCtrlID(focus);
}

bool WholeTextSelected(int id) {
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(g_hMainWnd, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == ControlText(id).size();
}

std::string ExecutableDirectory() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory = path;
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

namespace {

void AddKey(INPUT* inputs, int& count, WORD key, bool up) {
    INPUT& input = inputs[count++];
    input = INPUT();
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
}

}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    INPUT inputs[16];
    int count = 0;
    for (WORD modifier : modifiers) {
        AddKey(inputs, count, modifier, false);
    }
    AddKey(inputs, count, key, false);
    AddKey(inputs, count, key, true);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) {
        AddKey(inputs, count, *m, true);
    }
    SendInput(count, inputs, sizeof(INPUT));
}

bool PressKeyHolding(WORD key, std::initializer_list<WORD> modifiers,
                     const std::function<bool()>& done) {
    INPUT inputs[16];
    int count = 0;
    for (WORD modifier : modifiers) {
        AddKey(inputs, count, modifier, false);
    }
    AddKey(inputs, count, key, false);
    AddKey(inputs, count, key, true);
    SendInput(count, inputs, sizeof(INPUT));
    const bool happened = PumpUntil(done);
    count = 0;
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) {
        AddKey(inputs, count, *m, true);
    }
    SendInput(count, inputs, sizeof(INPUT));
    PumpUntil(InputQueueEmpty);
    return happened;
}

void TypeKeys(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        const SHORT scan = VkKeyScanA(*c);
        if (scan & 0x100) {
            PressKey(LOBYTE(scan), {VK_SHIFT});
        } else {
            PressKey(LOBYTE(scan));
        }
    }
    PumpUntil(InputQueueEmpty);
}

bool BringToFront() {
    SetForegroundWindow(g_hMainWnd);
    return PumpUntil([] { return GetForegroundWindow() == g_hMainWnd; });
}

bool InputQueueEmpty() {
    return HIWORD(GetQueueStatus(QS_INPUT)) == 0;
}

namespace {

HHOOK s_sentHook = nullptr;
HHOOK s_postedHook = nullptr;
std::vector<ControlEvent> s_events;
LARGE_INTEGER s_watchStart;

double MillisecondsSinceWatchStart() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - s_watchStart.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK WatchSent(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && GetParent(sent->hwnd) == g_hMainWnd &&
        (sent->message == BM_SETSTATE || sent->message == WM_SETTEXT)) {
        const bool pushed = sent->message == BM_SETSTATE &&
                            (SendMessageA(sent->hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        std::string text;
        if (sent->message == WM_SETTEXT && sent->lParam != 0) {
            text = reinterpret_cast<const char*>(sent->lParam);
        }
        s_events.push_back({GetDlgCtrlID(sent->hwnd), sent->message, sent->wParam, 0, text, pushed,
                            MillisecondsSinceWatchStart()});
    }
    return CallNextHookEx(s_sentHook, code, wParam, lParam);
}

// Sees each posted message once, as it is taken from the queue.
LRESULT CALLBACK WatchPosted(int code, WPARAM removal, LPARAM lParam) {
    const MSG* posted = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && posted->hwnd == g_hMainWnd &&
        posted->message == WM_COMMAND) {
        s_events.push_back({0, WM_COMMAND, posted->wParam, posted->lParam, "", false,
                            MillisecondsSinceWatchStart()});
    }
    return CallNextHookEx(s_postedHook, code, removal, lParam);
}

}  // namespace

void StartControlWatch() {
    s_events.clear();
    QueryPerformanceCounter(&s_watchStart);
    s_sentHook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchSent, nullptr, GetCurrentThreadId());
    s_postedHook = SetWindowsHookExA(WH_GETMESSAGE, WatchPosted, nullptr, GetCurrentThreadId());
}

std::vector<ControlEvent> StopControlWatch() {
    UnhookWindowsHookEx(s_sentHook);
    UnhookWindowsHookEx(s_postedHook);
    s_sentHook = nullptr;
    s_postedHook = nullptr;
    return s_events;
}
