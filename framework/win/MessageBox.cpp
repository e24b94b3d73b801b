#include "framework/win/MessageBox.h"

#include "framework/win/Application.h"
#include "framework/win/WinText.h"

#include <windows.h>

void ShowMessage(const std::u16string& AText)
{
    MessageBoxW(GetActiveWindow(), W(AText), W(Application.Title()), MB_OK | MB_TASKMODAL);
}
