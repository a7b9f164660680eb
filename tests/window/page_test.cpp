// Opening the publisher's pages. A stand-in "start" program records its
// command line; it is found first because the working directory is searched
// before the system directories when a program is launched.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace {

// The handler key the shell consults to open an http address.
constexpr char kHttpHandlerKey[] = "Software\\Classes\\http\\shell\\open\\command";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PageTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        scratch_ = std::string(temp) + "kem-page-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(scratch_.c_str(), nullptr);
        record_ = scratch_ + "\\launches.txt";
        DeleteFileA(record_.c_str());
        SetEnvironmentVariableA("KEM_START_RECORD", record_.c_str());
        GetCurrentDirectoryA(sizeof savedDirectory_, savedDirectory_);
        recorder_ = ExecutableDirectory() + "launcher\\start.exe";
        ASSERT_NE(GetFileAttributesA(recorder_.c_str()), INVALID_FILE_ATTRIBUTES) << recorder_;
    }

    void TearDown() override {
        SetCurrentDirectoryA(savedDirectory_);
        if (handlerChanged_) {
            SetHttpHandler(savedHandler_);
        }
        DeleteFileA(record_.c_str());
        DeleteFileA((scratch_ + "\\start.exe").c_str());
        RemoveDirectoryA(scratch_.c_str());
        MainWindowTest::TearDown();
    }

    // Waits for the recorder to write a whole line, then returns everything
    // recorded and starts a new record.
    std::string WaitForLaunch() {
        PumpUntil(
            [this] {
                const std::string text = ReadFile(record_);
                return !text.empty() && text.back() == '\n';
            },
            15000);
        const std::string text = ReadFile(record_);
        DeleteFileA(record_.c_str());
        return text;
    }

    // Runs the http handler through our recorder until tear-down.
    void UseRecorderAsHttpHandler() {
        KeepHttpHandler();
        ASSERT_TRUE(SetHttpHandler("\"" + recorder_ + "\" \"%1\""));
    }

    // The handler of http addresses is put back at tear-down.
    void KeepHttpHandler() {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHttpHandlerKey, 0, KEY_QUERY_VALUE, &key),
                  ERROR_SUCCESS);
        char saved[512] = "";
        DWORD size = sizeof saved - 1;
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size);
        RegCloseKey(key);
        savedHandler_ = saved;
        handlerChanged_ = true;
    }

    static bool SetHttpHandler(const std::string& command) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHttpHandlerKey, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const LONG result =
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

    std::string scratch_;
    std::string record_;
    std::string recorder_;
    char savedDirectory_[MAX_PATH] = "";
    std::string savedHandler_;
    bool handlerChanged_ = false;
};

}  // namespace

TEST_F(PageTest, EachPageCommandRunsStartWithItsAddress) {
    struct Row {
        const char* what;
        void (*trigger)();
        const char* commandLine;
    };
    const Row rows[] = {
        {"Online Help menu command",
         [] { PostMessageA(g_hMainWnd, WM_COMMAND, CMD_ONLINE_HELP, 0); },
         "start http://www.varnok.example/kemhelp.htm\n"},
        {"Website key command", [] { PostMessageA(g_hMainWnd, WM_COMMAND, CMD_WEBSITE_KEY, 0); },
         "start http://www.varnok.example/kem.htm\n"},
        {"Website button", [] { SendDlgItemMessageA(g_hMainWnd, IDC_WEBSITE, BM_CLICK, 0, 0); },
         "start http://www.varnok.example/kem.htm\n"},
    };
    SetCurrentDirectoryA((ExecutableDirectory() + "launcher").c_str());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.trigger();
        EXPECT_EQ(WaitForLaunch(), row.commandLine);
    }
}

TEST_F(PageTest, WhenNoStartProgramRunsTheShellOpensTheAddress) {
    // A "start.exe" that is no program: the launch fails, as it does where
    // "start" exists only inside the command interpreter.
    std::ofstream((scratch_ + "\\start.exe").c_str()) << "not a program";
    SetCurrentDirectoryA(scratch_.c_str());
    UseRecorderAsHttpHandler();

    PostMessageA(g_hMainWnd, WM_COMMAND, IDC_WEBSITE, 0);
    EXPECT_EQ(WaitForLaunch(), "\"" + recorder_ + "\" \"http://www.varnok.example/kem.htm\"\n");
    PostMessageA(g_hMainWnd, WM_COMMAND, CMD_ONLINE_HELP, 0);
    EXPECT_EQ(WaitForLaunch(), "\"" + recorder_ + "\" \"http://www.varnok.example/kemhelp.htm\"\n");
}

namespace {

// Windows that come up on the screen while a watch is on: any visible
// top-level window, of any program, that was not there when it started. A
// modal error box would run its own loop inside the command, so the watch
// looks from a timer, which that loop dispatches too, and closes what it
// finds, so that the test goes on.
std::vector<HWND> s_shownBefore;
std::vector<std::string> s_newWindows;

BOOL CALLBACK CollectShown(HWND window, LPARAM into) {
    if (IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> ShownWindows() {
    std::vector<HWND> shown;
    EnumWindows(CollectShown, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

void CALLBACK LookForNewWindows(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window : ShownWindows()) {
        if (std::find(s_shownBefore.begin(), s_shownBefore.end(), window) == s_shownBefore.end()) {
            char title[128] = "";
            GetWindowTextA(window, title, sizeof title);
            s_newWindows.push_back(title);
            s_shownBefore.push_back(window);
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }
}

}  // namespace

TEST_F(PageTest, AFallbackThatCannotOpenTheAddressShowsNothing) {
    // "start" fails, and so does the shell: the program that should open
    // http addresses is not there, or is no program.
    std::ofstream((scratch_ + "\\start.exe").c_str()) << "not a program";
    SetCurrentDirectoryA(scratch_.c_str());
    const std::string notAProgram = scratch_ + "\\start.exe";
    const std::string handlers[] = {
        "\"" + scratch_ + "\\no-such-browser.exe\" \"%1\"",
        "\"" + notAProgram + "\" \"%1\"",
    };
    KeepHttpHandler();
    for (const std::string& handler : handlers) {
        SCOPED_TRACE("http handler " + handler);
        ASSERT_TRUE(SetHttpHandler(handler));
        s_shownBefore = ShownWindows();
        s_newWindows.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookForNewWindows);
        for (WPARAM command :
             {static_cast<WPARAM>(IDC_WEBSITE), static_cast<WPARAM>(CMD_ONLINE_HELP)}) {
            PostMessageA(g_hMainWnd, WM_COMMAND, command, 0);
            PumpPending();
        }
        // The calculator still works: a recalculation after the failures.
        SetControlText(IDC_PRICE, "2");
        SetControlText(IDC_SELL, "1");
        PostMessageA(g_hMainWnd, WM_COMMAND, IDC_RECALCULATE, 0);
        EXPECT_TRUE(PumpUntil([] { return ControlText(IDC_ANNUAL_SALES) == "$24.00  "; }));
        LookForNewWindows(nullptr, 0, 0, 0);
        KillTimer(nullptr, timer);
        for (const std::string& title : s_newWindows) {
            ADD_FAILURE() << "a window came up: \"" << title << "\"";
        }
        EXPECT_TRUE(IsWindowEnabled(g_hMainWnd));
        EXPECT_EQ(TakeQuitCode(), kNoQuit);
        EXPECT_EQ(ReadFile(record_), "") << "nothing was launched";
    }
}

TEST_F(PageTest, AltWFlashesWebsiteThenOpensTheWebsite) {
    SetCurrentDirectoryA((ExecutableDirectory() + "launcher").c_str());
    ASSERT_TRUE(BringToFront());
    SetFocus(GetDlgItem(g_hMainWnd, IDC_COST));
    StartControlWatch();
    PressKey('W', {VK_MENU});
    const std::string launched = WaitForLaunch();
    const std::vector<ControlEvent> events = StopControlWatch();
    EXPECT_EQ(launched, "start http://www.varnok.example/kem.htm\n");
    int pushes = 0, releases = 0;
    for (const ControlEvent& event : events) {
        if (event.message == BM_SETSTATE && event.id == IDC_WEBSITE) {
            (event.wParam == 1 ? pushes : releases) += 1;
        }
    }
    EXPECT_EQ(pushes, 1) << "Website drawn pushed in once";
    EXPECT_EQ(releases, 1) << "and released once";
}

TEST_F(PageTest, EnterOnTheWebsiteButtonRecalculatesAndOpensNothing) {
    SetCurrentDirectoryA((ExecutableDirectory() + "launcher").c_str());
    ASSERT_TRUE(BringToFront());
    SetControlText(IDC_PRICE, "4");
    SetControlText(IDC_SELL, "1");
    SetFocus(GetDlgItem(g_hMainWnd, IDC_WEBSITE));
    EXPECT_TRUE(PressKeyHolding(
        VK_RETURN, {},
        [] { return ControlText(IDC_ANNUAL_SALES) == "$48.00  " && FocusedId() == IDC_PRICE; }))
        << ControlText(IDC_ANNUAL_SALES) << ", focus on " << ControlName(FocusedId());
    // A website launch by that Enter would be recorded before this later one.
    PostMessageA(g_hMainWnd, WM_COMMAND, CMD_ONLINE_HELP, 0);
    EXPECT_EQ(WaitForLaunch(), "start http://www.varnok.example/kemhelp.htm\n");
}
