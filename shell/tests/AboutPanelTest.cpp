#include "framework/core/Text.h"
#include "framework/win/Application.h"
#include "profile/DMUnit.h"
#include "shell/AboutPanel.h"
#include "shell/MouseMonitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LPARAM At(int AX, int AY) { return MAKELPARAM(AX, AY); }

// The main window reads the profile data as it is created, so it is there first, as in the monitor;
// its stored language is the built-in "US" (index 1), whose texts are the source texts.
struct TProfileData {
    TProfileData()
    {
        DM = new TDM(nullptr);
        DM->FAllProfileSettingInfo.CurrentLanguage = 1;
    }
    ~TProfileData()
    {
        delete DM;
        DM = nullptr;
    }
};

TEST(AboutPanel, PicturesAreEmbeddedAndDecode)
{
    const struct {
        const wchar_t* Name;
        int Width, Height;
    } pictures[] = {{L"ABOUT_BACKGROUND", 504, 400},
                    {L"ABOUT_GOWEB", 64, 24},
                    {L"ABOUT_OK_NORMAL", 94, 27},
                    {L"ABOUT_OK_HOT", 94, 27},
                    {L"ABOUT_OK_PRESSED", 94, 27}};
    for (const auto& p : pictures) {
        TuiPicture picture = TuiPicture::FromResource(p.Name);
        // Its size comes from the header: nothing is decoded yet.
        EXPECT_EQ(picture.Width(), p.Width);
        EXPECT_EQ(picture.Height(), p.Height);
        EXPECT_FALSE(picture.Loaded());
        EXPECT_TRUE(picture.Load());
        EXPECT_EQ(picture.Result(), TPngResult::Ok) << PngResultText(picture.Result());
        EXPECT_TRUE(picture.Loaded());
        picture.Release();
        EXPECT_FALSE(picture.Loaded());
    }
    TuiPicture missing = TuiPicture::FromResource(L"NO_SUCH_PICTURE");
    EXPECT_TRUE(missing.Empty());
    EXPECT_FALSE(missing.Load());
}

// A hidden panel holds no pixels: its five pictures (background, web button, OK's three states)
// are decoded as the window shows and released as it hides, every time.
TEST(AboutPanel, PicturesAreHeldOnlyWhileTheWindowShows)
{
    Application.Initialize();
    const TProfileData data;
    TQelMonMain form(nullptr);
    TuiPanel* panel = form.AboutPanel;
    EXPECT_EQ(panel->LoadedPictures(), 0) << "decoded for a window nobody sees";
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        form.About1Click(form.About1);
        ASSERT_TRUE(IsWindowVisible(form.Handle()));
        EXPECT_EQ(panel->LoadedPictures(), 5);
        // Hidden by its OK button, as the user does.
        const LPARAM onOk = At(250, 358);
        SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, onOk);
        SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onOk);
        SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, onOk);
        ASSERT_FALSE(IsWindowVisible(form.Handle()));
        EXPECT_EQ(panel->LoadedPictures(), 0);
    }
}

TEST(AboutPanel, FillsTheWindowWithTheButtonsWhereTheyBelong)
{
    Application.Initialize();
    const TProfileData data;
    TQelMonMain form(nullptr);
    RECT panel{};
    GetWindowRect(form.AboutPanel->Handle(), &panel);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&panel), 2);
    EXPECT_EQ(panel.left, 0);
    EXPECT_EQ(panel.top, 0);
    EXPECT_EQ(panel.right, 504);
    EXPECT_EQ(panel.bottom, 400);
    const RECT ok = form.AboutPanel->BtnOK->Bounds();
    EXPECT_EQ(std::vector<LONG>({ok.left, ok.top, ok.right, ok.bottom}), std::vector<LONG>({208, 345, 302, 372}));
    EXPECT_EQ(form.AboutPanel->BtnOK->Caption(), u"OK");
    EXPECT_EQ(form.AboutPanel->TextWeb->Color(), RGB(255, 255, 255));
    // The web button lies below the web site address.
    EXPECT_GE(form.AboutPanel->BtnGoWeb->Bounds().top, form.AboutPanel->TextWeb->Bounds().bottom);
}

TEST(AboutPanel, TextsFollowTheLanguage)
{
    Application.Initialize();
    const TProfileData data;
    TQelMonMain form(nullptr);
    const std::u16string site = form.AboutPanel->TextWeb->Text();
    form.uiLanguage1->SetLang(u"CH");
    EXPECT_EQ(form.AboutPanel->BtnOK->Caption(), u"确定");
    EXPECT_EQ(form.AboutPanel->TextWeb->Text(), site);
    // From one language to the next through the source texts.
    form.uiLanguage1->SetLang(u"US");
    EXPECT_EQ(form.AboutPanel->BtnOK->Caption(), u"OK");
    form.uiLanguage1->SetLang(u"CH");
    form.uiLanguage1->SetLang(u"en");
    EXPECT_EQ(form.AboutPanel->BtnOK->Caption(), u"OK");
}

// The texts of the content area from the top, each in the font it is drawn with: the size in
// points at the screen's resolution and the weight of the font the system made of it.
TEST(AboutPanel, TextsInTheirSizesAndWeights)
{
    Application.Initialize();
    const TProfileData data;
    TQelMonMain form(nullptr);
    struct TText {
        std::u16string Text;
        int Points;
        LONG Weight;
    };
    std::vector<TText> shown;
    std::vector<RECT> boxes;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    for (int i = 0; i < form.AboutPanel->ComponentCount(); ++i) {
        const auto* label = dynamic_cast<const TuiLabel*>(form.AboutPanel->Components(i));
        if (!label) continue;
        TEXTMETRICW metrics{};
        const HGDIOBJ old = SelectObject(screen, label->Font());
        GetTextMetricsW(screen, &metrics);
        SelectObject(screen, old);
        // The em height in pixels, back in points.
        const int points = MulDiv(metrics.tmHeight - metrics.tmInternalLeading, 72, dpi);
        shown.push_back({label->Text(), points, metrics.tmWeight});
        boxes.push_back(label->Bounds());
    }
    ReleaseDC(nullptr, screen);
    const std::u16string site = form.AboutPanel->TextWeb->Text();
    ASSERT_FALSE(site.empty());
    const std::vector<TText> expected = {{u"Hardware & Software Information:", 16, FW_BOLD},
                                         {u"Hardware Core:1.00.00", 13, FW_NORMAL},
                                         {u"Software Core:1.00.00", 13, FW_NORMAL},
                                         {u"Software Update Website:", 16, FW_BOLD},
                                         {site, 13, FW_NORMAL}};
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(Utf8FromUtf16(expected[i].Text));
        EXPECT_EQ(shown[i].Text, expected[i].Text);
        EXPECT_EQ(shown[i].Points, expected[i].Points);
        EXPECT_EQ(shown[i].Weight, expected[i].Weight);
        // Stacked from the top inside the content area (425 x 223 at 43, 100).
        EXPECT_GE(boxes[i].left, 43);
        EXPECT_LE(boxes[i].right, 43 + 425);
        EXPECT_GE(boxes[i].top, i == 0 ? 100 : boxes[i - 1].bottom);
        EXPECT_LE(boxes[i].bottom, 100 + 223);
    }
}

// The panel's answer to the pointer and the left button, message by message.
TEST(AboutPanel, ButtonStatesFollowThePointerAndAClickOnOkHides)
{
    Application.Initialize();
    const TProfileData data;
    TQelMonMain form(nullptr);
    form.About1Click(form.About1);
    HWND panel = form.AboutPanel->Handle();
    TuiStateButton* ok = form.AboutPanel->BtnOK;
    TuiPictureButton* web = form.AboutPanel->BtnGoWeb;
    const LPARAM onOk = At(250, 358), onWeb = At(web->Bounds().left + 5, web->Bounds().top + 5), away = At(20, 380);

    SendMessageW(panel, WM_MOUSEMOVE, 0, onOk);
    EXPECT_EQ(ok->State(), TuiButtonState::Hot);
    SendMessageW(panel, WM_MOUSEMOVE, 0, onWeb);
    EXPECT_EQ(ok->State(), TuiButtonState::Normal);
    EXPECT_EQ(web->State(), TuiButtonState::Hot);

    // Pressed on OK, moved off, released elsewhere: no click.
    SendMessageW(panel, WM_MOUSEMOVE, 0, onOk);
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, onOk);
    EXPECT_EQ(ok->State(), TuiButtonState::Pressed);
    SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, away);
    EXPECT_EQ(ok->State(), TuiButtonState::Normal);
    SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, onWeb);
    EXPECT_EQ(web->State(), TuiButtonState::Normal) << "another button lit while OK is held";
    SendMessageW(panel, WM_LBUTTONUP, 0, away);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));

    // Pressed and released on OK: the window hides, and nothing stays lit for the next showing.
    SendMessageW(panel, WM_MOUSEMOVE, 0, onOk);
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, onOk);
    SendMessageW(panel, WM_LBUTTONUP, 0, onOk);
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_EQ(ok->State(), TuiButtonState::Normal);
}

} // namespace
