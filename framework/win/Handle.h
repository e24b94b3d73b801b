#pragma once
// Owners of Win32 handles, so that every path closes what it opened.
#include <windows.h>

#include <string>
#include <utility>

template <class Traits>
class TUniqueHandle {
public:
    using Type = typename Traits::Type;
    TUniqueHandle() = default;
    explicit TUniqueHandle(Type AHandle) : FHandle(AHandle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& AOther) noexcept : FHandle(AOther.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& AOther) noexcept
    {
        if (this != &AOther) Reset(AOther.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    Type Get() const { return FHandle; }
    bool Valid() const { return Traits::Valid(FHandle); }
    explicit operator bool() const { return Valid(); }
    Type Release() { return std::exchange(FHandle, Traits::Invalid()); }
    void Reset(Type AHandle = Traits::Invalid())
    {
        if (Traits::Valid(FHandle)) Traits::Close(FHandle);
        FHandle = AHandle;
    }

private:
    Type FHandle = Traits::Invalid();
};

// Kernel objects: NULL and INVALID_HANDLE_VALUE both mean "none" (CreateFile answers the second).
struct TKernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
using THandleOwner = TUniqueHandle<TKernelHandleTraits>;

// Handles for which only NULL means "none", closed by one function.
template <class T, auto CloseFunction>
struct TNullHandleTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { CloseFunction(h); }
};
using TRegKeyOwner = TUniqueHandle<TNullHandleTraits<HKEY, &RegCloseKey>>;
using TModuleOwner = TUniqueHandle<TNullHandleTraits<HMODULE, &FreeLibrary>>;
using TIconOwner = TUniqueHandle<TNullHandleTraits<HICON, &DestroyIcon>>;
using TMenuOwner = TUniqueHandle<TNullHandleTraits<HMENU, &DestroyMenu>>;
using TBitmapOwner = TUniqueHandle<TNullHandleTraits<HBITMAP, &DeleteObject>>;
using TFontOwner = TUniqueHandle<TNullHandleTraits<HFONT, &DeleteObject>>;
using TDCOwner = TUniqueHandle<TNullHandleTraits<HDC, &DeleteDC>>;

// A GDI object selected into a device context for a scope; the one it replaced goes back after.
class TObjectSelection {
public:
    TObjectSelection(HDC ADC, HGDIOBJ AObject) : FDC(ADC), FOld(SelectObject(ADC, AObject)) {}
    ~TObjectSelection() { SelectObject(FDC, FOld); }
    TObjectSelection(const TObjectSelection&) = delete;
    TObjectSelection& operator=(const TObjectSelection&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};
