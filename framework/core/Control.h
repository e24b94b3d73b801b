#pragma once
// A component that shows texts to the user. Its texts are published by name as properties, so
// that code that does not know the class (the language component's walk of a form) can read and
// write them; Caption and Hint unless a class publishes others.
#include "framework/core/Component.h"

#include <string>
#include <string_view>

class TControl : public TComponent {
public:
    using TComponent::TComponent;

    // The class name as other code knows it (lists of class names handled apart).
    virtual std::u16string ClassName() const { return u"TControl"; }
    // A form: a top-level window. The language component registers the form that owns it and
    // translates the texts of everything the form owns.
    virtual bool IsForm() const { return false; }

    // A class that shows its texts elsewhere too (a window's title) overrides the setters and
    // calls these.
    const std::u16string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::u16string& ACaption) { FCaption = ACaption; }
    const std::u16string& Hint() const { return FHint; }
    virtual void SetHint(const std::u16string& AHint) { FHint = AHint; }

    // Reads the text property of that name; false when the class publishes none.
    virtual bool GetTextProperty(std::u16string_view AName, std::u16string& AValue) const;
    // Writes it through its setter; std::invalid_argument when the class publishes none of that name.
    virtual void SetTextProperty(std::u16string_view AName, const std::u16string& AValue);

private:
    std::u16string FCaption;
    std::u16string FHint;
};
