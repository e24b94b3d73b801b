#pragma once
// What the screen shows, read back as the shell draws it, for tests and benchmarks that look at
// the tray and at windows of other processes.
#include "framework/win/Handle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// The pixels of a rectangle of the screen, 0xRRGGBB each, rows from the top; empty when it
// cannot be read.
inline std::vector<uint32_t> ScreenPixels(const RECT& ARect)
{
    const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
    std::vector<uint32_t> out;
    if (w <= 0 || h <= 0) return out;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    TDCOwner memory(CreateCompatibleDC(nullptr));
    HDC screen = GetDC(nullptr);
    if (bitmap && memory && screen) {
        TObjectSelection selected(memory.Get(), bitmap.Get());
        if (BitBlt(memory.Get(), 0, 0, w, h, screen, ARect.left, ARect.top, SRCCOPY)) {
            const auto* p = static_cast<const uint32_t*>(bits);
            out.assign(p, p + static_cast<size_t>(w) * h);
            for (uint32_t& pixel : out) pixel &= 0xFFFFFF;
        }
    }
    if (screen) ReleaseDC(nullptr, screen);
    return out;
}

// The red of the monitor's mute marks: the tray icon's badge and the indicator's slash.
inline bool MuteRed(uint32_t APixel)
{
    return (APixel >> 16 & 0xFF) > 180 && (APixel >> 8 & 0xFF) < 90 && (APixel & 0xFF) < 90;
}

// The notification area of the shell's taskbar at the bottom of the screen, where the tray shows.
inline RECT TrayArea()
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    return RECT{w / 2, h - 48, w, h};
}

template <class F>
int CountPixels(const std::vector<uint32_t>& APixels, F AKind)
{
    int n = 0;
    for (const uint32_t p : APixels) n += AKind(p) ? 1 : 0;
    return n;
}
