// The main window: start-up, the window procedure, the message loop and the
// commands behind the menu, the buttons and the keys.
#pragma once

#include <windows.h>

#include "resource.h"

// A page is opened by the command line "start " and its address, built in
// 80 characters; with the terminator, an address has at most 73.
inline constexpr char StartCommand[] = "start ";
inline constexpr char WebsitePage[] = "http://" PUBLISHER_HOST "/kem.htm";
inline constexpr char HelpPage[] = "http://" PUBLISHER_HOST "/kemhelp.htm";

// The four input fields in the order of the figures they hold, and the six
// result fields in the order of the model's result texts.
inline constexpr int kInputIds[] = {IDC_PRICE, IDC_COST, IDC_BUY, IDC_SELL};
inline constexpr int kResultIds[] = {
    IDC_ANNUAL_SALES,  IDC_GROSS_PROFIT,  IDC_GP_PERCENT,
    IDC_MONTHS_SUPPLY, IDC_AVG_INVENTORY, IDC_RETURN_ON_INVENTORY,
};

// The module that holds the templates, the menu and the icon.
extern HINSTANCE g_hInstance;
// The one main window; the key filters post their commands to it.
extern HWND g_hMainWnd;

bool RegisterMainClass(HINSTANCE hInstance);
bool CreateMainWindow(HINSTANCE hInstance, int nCmdShow);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int RunMessageLoop();

LRESULT HandleCommand(HWND hwnd, WPARAM wParam);
void FocusField(HWND hwnd, int id);
void ClearInputs(HWND hwnd);
void OpenPage(const char* address);
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void ReadInputs(HWND hwnd);
void ShowResults(HWND hwnd);
