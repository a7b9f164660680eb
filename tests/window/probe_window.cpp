// Finding the calculator and asking it things, shared by every request.
#include <cstdio>
#include <cstdlib>

#include "probe.h"

HWND FindMainWindow() {
    return FindWindowA("KEMWClass", nullptr);
}

HWND FindFocus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

void PrintFocus(HWND window) {
    HWND focus = FindFocus(window);
    // GetDlgCtrlID of a top-level window is its menu handle: name it instead.
    if (focus != nullptr && focus == window) {
        std::printf("window\n");
    } else {
        std::printf("%d\n", focus == nullptr ? 0 : GetDlgCtrlID(focus));
    }
}

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kAnswerMs, &result) != 0;
}

void PrintPoint(const char* name, POINT point) {
    std::printf("%s %ld %ld\n", name, point.x, point.y);
}

POINT CentreOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT MenuBarPoint(HWND window, LONG x) {
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    return {x, client.y - GetSystemMetrics(SM_CYMENU) / 2};
}

bool ArgId(int argc, char** argv, int index, int& id) {
    if (argc <= index) {
        std::fprintf(stderr, "kemprobe: %s needs a control id\n", argv[0]);
        return false;
    }
    id = std::atoi(argv[index]);
    return true;
}

DWORD ArgMs(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10))
                        : kDefaultWaitMs;
}
