#pragma once
// A picture kept as its PNG and decoded only while it is needed: Load makes the pixels, a 32-bit
// DIB section with premultiplied alpha drawn with per-pixel alpha over what lies below it, and
// Release frees them. Its size is known from the PNG's header without decoding.
#include "framework/win/Handle.h"
#include "ui/PngDecoder.h"

#include <windows.h>

#include <cstdint>
#include <span>

class TuiPicture {
public:
    TuiPicture() = default;
    // The PNG is referred to, not copied: it must outlive the picture, as a resource does. A
    // PNG whose header the decoder refuses makes an empty picture; Result() says why.
    explicit TuiPicture(std::span<const uint8_t> APng);
    // The PNG embedded in the program as an RCDATA resource of that name.
    static TuiPicture FromResource(const wchar_t* AName);

    // No picture to draw: no PNG, or one the decoder refused.
    bool Empty() const { return FPng.empty() || FResult != TPngResult::Ok; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The header's verdict, then that of the last Load.
    TPngResult Result() const { return FResult; }
    // Decodes the pixels unless they are held; false when there are none to hold.
    bool Load();
    void Release() { FBitmap.Reset(); }
    bool Loaded() const { return static_cast<bool>(FBitmap); }
    // Blends the picture with its top left corner at (AX, AY); one not loaded draws nothing.
    void Draw(HDC ADC, int AX, int AY) const;
    // Makes the picture, per-pixel alpha and all, the whole content of a layered window placed
    // with its top left corner at (AX, AY) on the screen; the window keeps a copy of it. False for
    // an empty picture or a refused update.
    bool UpdateLayered(HWND AWindow, int AX, int AY) const;

private:
    std::span<const uint8_t> FPng;
    TBitmapOwner FBitmap;
    int FWidth = 0;
    int FHeight = 0;
    TPngResult FResult = TPngResult::NotPng;
};
