#include "framework/core/Control.h"

#include <stdexcept>

bool TControl::GetTextProperty(std::u16string_view AName, std::u16string& AValue) const
{
    if (AName == u"Caption") AValue = FCaption;
    else if (AName == u"Hint") AValue = FHint;
    else return false;
    return true;
}

void TControl::SetTextProperty(std::u16string_view AName, const std::u16string& AValue)
{
    if (AName == u"Caption") SetCaption(AValue);
    else if (AName == u"Hint") SetHint(AValue);
    else throw std::invalid_argument("TControl: no such text property");
}
