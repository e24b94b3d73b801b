#pragma once
// Lets a window message through the window's message filter, so that a program running at
// another integrity level (a lower one sending to an elevated program) still reaches the window.
#include <windows.h>

// The filter exists from Windows 7 on and is looked up at run time, so that older systems still
// start the program; there every message arrives anyway.
void AllowWindowMessage(HWND AWindow, UINT AMessage);
