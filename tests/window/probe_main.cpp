// kemprobe's requests and their usage. Output lines end in LF alone, so the
// scripts compare them with kemcalc's and with their own as they are.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "probe.h"

namespace {

struct Request {
    const char* name;
    bool needsWindow;
    int (*run)(HWND window, int argc, char** argv);
    const char* usage;
};

constexpr Request kRequests[] = {
    {"texts", true, PrintTexts,
     "texts                  \"<id> <text>\" for the four inputs and the six results"},
    {"snapshot", true, PrintSnapshot,
     "snapshot               inputs tab-separated (a kemcalc --tsv line), results the same,\n"
     "                         then the focus"},
    {"focus", true, PrintFocusRequest,
     "focus                  the focus: a control's id, \"window\" or 0"},
    {"selection", true, PrintSelection,
     "selection ID           \"<start> <end>\" of an edit field's selection"},
    {"centre", true, PrintCentre, "centre ID              the screen centre \"x y\" of a control"},
    {"window", true, PrintWindowRect,
     "window                 the main window's screen rectangle \"x y w h\""},
    {"layout", true, PrintLayout,
     "layout                 every control: id, class, text, style, x y w h"},
    {"places", true, PrintPlaces,
     "places                 \"<name> <x> <y>\" for every place the soak clicks"},
    {"title", false, PrintTitle, "title                  the main window's caption"},
    {"page", false, PrintPage, "page website|help      the command line that opens the page"},
    {"settext", true, SetText, "settext ID TEXT        set a control's text"},
    {"command", true, PostCommand, "command WPARAM         post WM_COMMAND to the main window"},
    {"close", true, PostClose, "close                  post the close request of the title bar"},
    {"shown", false, WaitShown,
     "shown [MS]             wait: the window shown, the focus in the price field"},
    {"minimized", false, WaitMinimized,
     "minimized [MS]         wait: the window there and minimized"},
    {"wait-focus", true, WaitFocus, "wait-focus ID [MS]     wait: control ID has the focus"},
    {"wait-selected", true, WaitSelected,
     "wait-selected ID [MS]  the same, and an input field's whole text selected"},
    {"about", true, WaitAbout,
     "about [MS]             wait: the About box shown and focused; its OK place"},
    {"no-about", true, WaitNoAbout, "no-about [MS]          wait: no About box left"},
    {"popup", true, WaitPopup, "popup [MS]             wait: a pop-up menu open; its places"},
    {"flash", true, MeasureFlash,
     "flash ID [MS]          print \"ready\", then \"pushed <ms>\": how long the control's\n"
     "                         pixels on the screen differ from now, within MS"},
    {"plan", false, PrintPlan, "plan SEED BATCHES      the soak's steps"},
};

int PrintUsage() {
    std::fprintf(stderr, "usage: kemprobe REQUEST ...\n");
    for (const Request& request : kRequests) {
        std::fprintf(stderr, "  %s\n", request.usage);
    }
    return 2;
}

HWND RequireMainWindow() {
    HWND window = FindMainWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "kemprobe: no calculator window\n");
    }
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        return PrintUsage();
    }
    for (const Request& request : kRequests) {
        if (std::strcmp(argv[1], request.name) == 0) {
            HWND window = nullptr;
            if (request.needsWindow && (window = RequireMainWindow()) == nullptr) {
                return 1;
            }
            const int status = request.run(window, argc - 1, argv + 1);
            std::fflush(stdout);
            return status == 2 ? PrintUsage() : status;
        }
    }
    return PrintUsage();
}
