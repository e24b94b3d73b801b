// A stand-in "HID.dll" placed beside the test program: the HID component must never load it.
#include <windows.h>

extern "C" __declspec(dllexport) void WINAPI HidD_GetHidGuid(GUID* AGuid)
{
    *AGuid = GUID{};
}
