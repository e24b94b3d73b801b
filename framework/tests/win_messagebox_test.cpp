#include "framework/tests/MessageBoxUser.h"
#include "framework/win/Application.h"
#include "framework/win/MessageBox.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowMessage, ModalWithTheTextTitledWithTheApplicationTitle)
{
    Application.SetTitle(u"QEL Skirmisher HV730 Gaming Mouse Monitor");
    TMessageBoxUser user;
    ShowMessage(u"uiHook.dll can not be found!");
    EXPECT_EQ(user.Seen(), (std::vector<TMessageBoxUser::TSeen>{
                               {L"QEL Skirmisher HV730 Gaming Mouse Monitor", L"uiHook.dll can not be found!"}}));
}

} // namespace
