// Test program for the About scenarios, never shipped: the monitor's main window made in this
// process, its About panel shown by About1Click, the message loop run until the window is closed.
//   AboutShow.exe [SITE]   SITE replaces the web site address, so that BtnGoWeb opens something local
// Prints, once the panel shows, where the window is on the screen and where things are in it:
//   window LEFT TOP
//   label RRGGBB LEFT TOP RIGHT BOTTOM     for every text, in the panel's order, with its colour
//   button NAME LEFT TOP RIGHT BOTTOM      for every button
#include "framework/win/Application.h"
#include "shell/AboutPanel.h"
#include "shell/MouseMonitor.h"

#include <cstdio>
#include <string>

namespace {
void PrintRect(const RECT& ARect) { std::printf(" %ld %ld %ld %ld\n", ARect.left, ARect.top, ARect.right, ARect.bottom); }
} // namespace

int wmain(int argc, wchar_t** argv)
{
    Application.Initialize();
    TQelMonMain form(nullptr);
    if (argc > 1) form.AboutPanel->TextWeb->SetText(reinterpret_cast<const char16_t*>(argv[1]));
    form.About1Click(form.About1);
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    std::printf("window %ld %ld\n", window.left, window.top);
    for (int i = 0; i < form.AboutPanel->ComponentCount(); ++i) {
        TComponent* item = form.AboutPanel->Components(i);
        if (auto* label = dynamic_cast<TuiLabel*>(item)) {
            const COLORREF c = label->Color();
            std::printf("label %02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
            PrintRect(label->Bounds());
        } else if (auto* button = dynamic_cast<TuiPictureButton*>(item)) {
            std::printf("button %s", std::string(button->Name().begin(), button->Name().end()).c_str());
            PrintRect(button->Bounds());
        }
    }
    std::fflush(stdout);
    Application.Run();
    return 0;
}
