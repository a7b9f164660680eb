#include "test_support.h"

#include "resource.h"

void RegisterClassesOnce() {
    static bool registered = false;
    if (!registered) {
        registered = RegisterMainClass(GetModuleHandleA(nullptr));
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
        for (int id : {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL}) {
            SetDlgItemTextA(g_hMainWnd, id, "");
        }
        SendMessageA(g_hMainWnd, WM_COMMAND, IDC_RECALCULATE, 0);
    }
    PumpPending();
    TakeQuitCode();
}

void RestartMainWindow() {
    if (IsWindow(g_hMainWnd)) {
        DestroyWindow(g_hMainWnd);
    }
    PumpPending();
    TakeQuitCode();
    CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
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

std::function<void(HWND)> s_insideAboutBox;
bool s_aboutBoxSeen = false;
int s_aboutBoxTicks = 0;
constexpr int kAboutBoxTickMs = 20;
constexpr int kAboutBoxMaxTicks = 250;

BOOL CALLBACK TakeOwnedPopup(HWND hwnd, LPARAM found) {
    if (GetWindow(hwnd, GW_OWNER) == g_hMainWnd && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the About box's modal loop, which dispatches thread timers.
void CALLBACK LookForAboutBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindOwnedPopup();
    if (box != nullptr) {
        KillTimer(nullptr, id);
        s_aboutBoxSeen = true;
        s_insideAboutBox(box);
    } else if (++s_aboutBoxTicks > kAboutBoxMaxTicks) {
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

bool WithAboutBoxOpen(const std::function<void(HWND box)>& inside) {
    s_insideAboutBox = inside;
    s_aboutBoxSeen = false;
    s_aboutBoxTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kAboutBoxTickMs, LookForAboutBox);
    PostMessageA(g_hMainWnd, WM_COMMAND, CMD_ABOUT, 0);
    PumpUntil([] { return s_aboutBoxSeen; });
    KillTimer(nullptr, timer);
    return s_aboutBoxSeen;
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
