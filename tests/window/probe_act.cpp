// Requests that act on the calculator the way its own parts do: a text set
// into a control, a command or the close request posted to the window.
#include <cstdlib>

#include "probe.h"

int SetText(int argc, char** argv) {
    HWND window = RequireMainWindow();
    int id = 0;
    if (window == nullptr) {
        return 1;
    }
    if (!ArgId(argc, argv, 1, id) || argc < 3) {
        return 2;
    }
    SendDlgItemMessageA(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    return 0;
}

int PostCommand(int argc, char** argv) {
    HWND window = RequireMainWindow();
    if (window == nullptr) {
        return 1;
    }
    if (argc < 2) {
        return 2;
    }
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::strtoul(argv[1], nullptr, 0)), 0);
    return 0;
}

int PostClose(int, char**) {
    HWND window = RequireMainWindow();
    if (window == nullptr) {
        return 1;
    }
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}
