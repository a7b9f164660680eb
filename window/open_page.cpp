// Opens one of the publisher's pages in the user's web browser.
#include <cstdio>

#include "window.h"

#include <shellapi.h>

namespace {

constexpr char kStartPrefix[] = "start ";
constexpr std::size_t kCommandLineSize = 80;

static_assert(sizeof kStartPrefix - 1 + sizeof WebsitePage <= kCommandLineSize);
static_assert(sizeof kStartPrefix - 1 + sizeof HelpPage <= kCommandLineSize);

// WinExec reports failure with a value of 31 or less.
constexpr UINT kWinExecFailedMax = 31;

}  // namespace

void OpenPage(const char* address) {
    char commandLine[kCommandLineSize];
    const int length =
        std::snprintf(commandLine, sizeof commandLine, "%s%s", kStartPrefix, address);
    // A cut command line would open a wrong address: open none.
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof commandLine) {
        return;
    }
    if (WinExec(commandLine, SW_HIDE) > kWinExecFailedMax) {
        return;
    }
    // Current Windows has "start" only as a command-interpreter built-in, so
    // the launch above finds no program there. The shell's own URL handler
    // opens the address instead; its failure is ignored like the first one.
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
