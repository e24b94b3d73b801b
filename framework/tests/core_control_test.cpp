#include "framework/core/Control.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Shows its caption elsewhere too, as a window shows its title.
class TTitled : public TControl {
public:
    using TControl::TControl;
    std::u16string ClassName() const override { return u"TTitled"; }
    void SetCaption(const std::u16string& ACaption) override
    {
        TControl::SetCaption(ACaption);
        Title = ACaption;
    }
    std::u16string Title;
};

TEST(Control, PublishesCaptionAndHintByName)
{
    TTitled control(nullptr);
    control.SetTextProperty(u"Caption", u"c");
    control.SetTextProperty(u"Hint", u"h");
    EXPECT_EQ(control.Caption(), u"c");
    EXPECT_EQ(control.Title, u"c"); // written through the class's own setter
    EXPECT_EQ(control.Hint(), u"h");

    std::u16string value = u"unchanged";
    EXPECT_TRUE(control.GetTextProperty(u"Caption", value));
    EXPECT_EQ(value, u"c");
    EXPECT_TRUE(control.GetTextProperty(u"Hint", value));
    EXPECT_EQ(value, u"h");
    for (const char16_t* name : {u"caption", u"Text", u""}) {
        value = u"unchanged";
        EXPECT_FALSE(control.GetTextProperty(name, value));
        EXPECT_EQ(value, u"unchanged");
        EXPECT_THROW(control.SetTextProperty(name, u"x"), std::invalid_argument);
    }
    EXPECT_FALSE(control.IsForm());
    EXPECT_EQ(TControl(nullptr).ClassName(), u"TControl");
}

} // namespace
