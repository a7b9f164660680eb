// Opening the publisher's pages. A stand-in "start" program records its
// command line; it is found first because the working directory is searched
// before the system directories when a program is launched.
#include <gtest/gtest.h>

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
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHttpHandlerKey, 0, KEY_QUERY_VALUE, &key),
                  ERROR_SUCCESS);
        char saved[512] = "";
        DWORD size = sizeof saved - 1;
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size);
        RegCloseKey(key);
        savedHandler_ = saved;
        handlerChanged_ = true;
        ASSERT_TRUE(SetHttpHandler("\"" + recorder_ + "\" \"%1\""));
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
