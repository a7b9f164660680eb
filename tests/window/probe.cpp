// kemprobe: looks at a running calculator from another process, the way a
// user's eyes and hands would, and reports on standard output.
//
//   kemprobe wait [ms]        wait until the main window is shown with the
//                             focus in a control, print its window handle
//   kemprobe texts            print "<id> <text>" for the inputs and results
//   kemprobe focus            print the id of the control with the focus
//   kemprobe selection <id>   print "<start> <end>" of an edit field's selection
//   kemprobe rect <id>        print the screen centre "x y" of a control
//   kemprobe window           print the main window's screen rectangle "x y w h"
//   kemprobe layout           print every control: id, class, text, style, x y w h
//   kemprobe settext <id> <text>
//   kemprobe command <wParam> post WM_COMMAND to the main window
//   kemprobe close            post the close request of the title bar
//   kemprobe gone [ms]        wait until no main window is left
//
// Exit code 0 on success, 1 when the window is missing or a wait timed out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kPollMs = 20;

HWND FindMainWindow() {
    return FindWindowA("KEMWClass", nullptr);
}

DWORD ArgMs(int argc, char** argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : fallback;
}

// The control with the keyboard focus in the window's thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

int FocusId(HWND window) {
    HWND focus = FocusOf(window);
    return focus == nullptr ? 0 : GetDlgCtrlID(focus);
}

void PrintText(HWND window, int id) {
    char text[128] = "";
    SendDlgItemMessageA(window, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%d %s\n", id, text);
}

int Wait(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindMainWindow();
        if (window != nullptr && IsWindowVisible(window) && FocusOf(window) != nullptr) {
            std::printf("%p\n", static_cast<void*>(window));
            return 0;
        }
        if (GetTickCount() - start > timeoutMs) {
            std::fprintf(stderr, "kemprobe: no calculator window within %lu ms\n", timeoutMs);
            return 1;
        }
        Sleep(kPollMs);
    }
}

int WaitGone(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (FindMainWindow() != nullptr) {
        if (GetTickCount() - start > timeoutMs) {
            std::fprintf(stderr, "kemprobe: the calculator window is still there\n");
            return 1;
        }
        Sleep(kPollMs);
    }
    return 0;
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

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: kemprobe wait|texts|focus|selection|rect|window|layout|"
                     "settext|command|close|gone ...\n");
        return 2;
    }
    const char* verb = argv[1];
    if (std::strcmp(verb, "wait") == 0) {
        return Wait(ArgMs(argc, argv, 2, 20000));
    }
    if (std::strcmp(verb, "gone") == 0) {
        return WaitGone(ArgMs(argc, argv, 2, 20000));
    }
    HWND window = FindMainWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "kemprobe: no calculator window\n");
        return 1;
    }
    const int id = argc > 2 ? std::atoi(argv[2]) : 0;
    if (std::strcmp(verb, "texts") == 0) {
        for (int input = 110; input <= 113; ++input) {
            PrintText(window, input);
        }
        for (int result = 1008; result <= 1013; ++result) {
            PrintText(window, result);
        }
    } else if (std::strcmp(verb, "focus") == 0) {
        std::printf("%d\n", FocusId(window));
    } else if (std::strcmp(verb, "selection") == 0) {
        DWORD start = 0, end = 0;
        SendDlgItemMessageA(window, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                            reinterpret_cast<LPARAM>(&end));
        std::printf("%lu %lu\n", start, end);
    } else if (std::strcmp(verb, "rect") == 0) {
        RECT rect;
        GetWindowRect(GetDlgItem(window, id), &rect);
        std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    } else if (std::strcmp(verb, "window") == 0) {
        RECT rect;
        GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top);
    } else if (std::strcmp(verb, "layout") == 0) {
        EnumChildWindows(window, PrintControl, 0);
    } else if (std::strcmp(verb, "settext") == 0 && argc > 3) {
        SendDlgItemMessageA(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    } else if (std::strcmp(verb, "command") == 0 && argc > 2) {
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 0)), 0);
    } else if (std::strcmp(verb, "close") == 0) {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        std::fprintf(stderr, "kemprobe: unknown request %s\n", verb);
        return 2;
    }
    return 0;
}
