#include "ui/uiPicture.h"

#include <cstring>

TuiPicture::TuiPicture(std::span<const uint8_t> APng) : FPng(APng)
{
    uint32_t width = 0, height = 0;
    FResult = ReadPngSize(APng, width, height);
    FWidth = static_cast<int>(width);
    FHeight = static_cast<int>(height);
}

TuiPicture TuiPicture::FromResource(const wchar_t* AName)
{
    // Resources are mapped with the module for as long as it is loaded: nothing to free.
    HRSRC found = FindResourceW(nullptr, AName, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return TuiPicture();
    return TuiPicture(std::span<const uint8_t>(static_cast<const uint8_t*>(data), SizeofResource(nullptr, found)));
}

bool TuiPicture::Load()
{
    if (FBitmap) return true;
    if (Empty()) return false;
    TPngImage image;
    FResult = DecodePng(FPng, image);
    if (FResult != TPngResult::Ok) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(image.Width);
    // Rows from the top, as the decoder gives them.
    info.bmiHeader.biHeight = -static_cast<LONG>(image.Height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!FBitmap) return false;
    const std::vector<uint8_t> pixels = PremultipliedBgra(image);
    std::memcpy(bits, pixels.data(), pixels.size());
    return true;
}

void TuiPicture::Draw(HDC ADC, int AX, int AY) const
{
    if (!FBitmap) return;
    TDCOwner source(CreateCompatibleDC(ADC));
    if (!source) return;
    TObjectSelection selected(source.Get(), FBitmap.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(ADC, AX, AY, FWidth, FHeight, source.Get(), 0, 0, FWidth, FHeight, blend);
}

bool TuiPicture::UpdateLayered(HWND AWindow, int AX, int AY) const
{
    if (!FBitmap) return false;
    TDCOwner source(CreateCompatibleDC(nullptr));
    if (!source) return false;
    TObjectSelection selected(source.Get(), FBitmap.Get());
    POINT position{AX, AY};
    SIZE size{FWidth, FHeight};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(AWindow, nullptr, &position, &size, source.Get(), &origin, 0, &blend, ULW_ALPHA) != FALSE;
}
