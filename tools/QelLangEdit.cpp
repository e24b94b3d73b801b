// QelLangEdit: the translation editor on the monitor's texts, for a translator. It edits the
// languages of the "ui.local" beside it, the file the monitor beside it loads, over the
// monitor's source texts; the editor's save writes that file. The monitor's built-in languages
// "CH" and "US" belong to the monitor: they are neither shown nor written here, or the monitor
// would list them twice.
#include "framework/core/Text.h"
#include "framework/win/Application.h"
#include "framework/win/MessageBox.h"
#include "lang/LanguageCatalog.h"
#include "lang/LanguageData.h"
#include "lang/LanguagePlatformWin.h"
#include "lang/Languagetranslate.h"
#include "profile/ProductConstants.h"

#include <windows.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Application.Initialize();
    const TWinLanguagePlatform& platform = TWinLanguagePlatform::Instance();
    // The component is edited as in a form designer: design mode loads no file by itself.
    TComponent designerForm(nullptr);
    designerForm.SetDesigning(true);
    auto* language = new TuiLanguage(&designerForm, platform);
    language->LoadFromFile(platform.ExecutableFolder() + u"ui.local");

    // The monitor's texts: the source texts of its built-in data and the titles it translates.
    TLanguageData builtIn(platform.TextCompare());
    std::u16string error;
    if (ReadLanguageData(BuiltInLanguageData(), builtIn, error)) language->Original().AddStrings(builtIn.Original);
    for (const char16_t* title : {kApplicationTitle, kTrayIconHint}) language->Original().Add(title);

    TWinLanguageDesigner designer;
    language->SetDesigner(&designer);
    try {
        language->SetActive(true);
    } catch (const std::exception& e) {
        ShowMessage(Utf16FromUtf8(e.what()));
        return 1;
    }
    return 0;
}
