#pragma once
// A picture decoded from PNG and kept as a 32-bit DIB section with premultiplied alpha, drawn with
// per-pixel alpha over what lies below it.
#include "framework/win/Handle.h"
#include "ui/PngDecoder.h"

#include <windows.h>

#include <cstdint>
#include <span>

class TuiPicture {
public:
    TuiPicture() = default;
    // A PNG the decoder refuses makes an empty picture; Result() says why.
    explicit TuiPicture(std::span<const uint8_t> APng);
    // The PNG embedded in the program as an RCDATA resource of that name.
    static TuiPicture FromResource(const wchar_t* AName);

    bool Empty() const { return !FBitmap; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TPngResult Result() const { return FResult; }
    // Blends the picture with its top left corner at (AX, AY); an empty picture draws nothing.
    void Draw(HDC ADC, int AX, int AY) const;
    // Makes the picture, per-pixel alpha and all, the whole content of a layered window placed
    // with its top left corner at (AX, AY) on the screen; the window keeps a copy of it. False for
    // an empty picture or a refused update.
    bool UpdateLayered(HWND AWindow, int AX, int AY) const;

private:
    TBitmapOwner FBitmap;
    int FWidth = 0;
    int FHeight = 0;
    TPngResult FResult = TPngResult::NotPng;
};
