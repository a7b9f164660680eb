// Requests that act on the calculator the way its own parts do: a text set
// into a control, a command or the close request posted to the window.
#include <cstdlib>

#include "probe.h"

int SetText(HWND window, int argc, char** argv) {
    int id = 0;
    if (!ArgId(argc, argv, 1, id) || argc < 3) {
        return 2;
    }
    SendDlgItemMessageA(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    return 0;
}

int PostCommand(HWND window, int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::strtoul(argv[1], nullptr, 0)), 0);
    return 0;
}

int PostClose(HWND window, int, char**) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}
