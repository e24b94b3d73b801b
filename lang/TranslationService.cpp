#include "lang/TranslationService.h"

#include "lang/LanguageData.h"
#include "lang/uiScene.h"

#include <algorithm>
#include <vector>

TCustomTranslateHook CustomTranslateHook;

namespace {

std::unique_ptr<TStringList> GCurrentTable;
std::unique_ptr<TStringList> GCollecting;
bool GReverse = false;
std::vector<TuiScene*> GScenes;

} // namespace

std::u16string TranslateText(const std::u16string& AText)
{
    if (AText.empty()) return AText;
    if (CustomTranslateHook) {
        // A hook that answers is asked again, and its second answer is the one that counts.
        if (!CustomTranslateHook(AText).empty()) return CustomTranslateHook(AText);
        return AText;
    }
    if (GCollecting) GCollecting->Add(AText);
    if (!GCurrentTable) return AText;

    std::u16string result;
    if (!GReverse) {
        result = GCurrentTable->Values(AText);
    } else {
        for (int i = 0; i < GCurrentTable->Count(); ++i) {
            if (GCurrentTable->ValueFromIndex(i) == AText) {
                result = GCurrentTable->Names(i);
                break;
            }
        }
    }
    return result.empty() ? AText : result;
}

namespace TranslationService {

bool HasCurrentTable() { return GCurrentTable != nullptr; }

void Reset()
{
    if (!GCurrentTable) return;
    struct TReverseScope {
        TReverseScope() { GReverse = true; }
        ~TReverseScope() { GReverse = false; }
        TReverseScope(const TReverseScope&) = delete;
        TReverseScope& operator=(const TReverseScope&) = delete;
    };
    {
        TReverseScope reverse;
        TranslateScenes();
    }
    GCurrentTable.reset();
}

void Apply(const TStringList& ATable)
{
    Reset();
    auto copy = NewTranslationTable(ATable.Compare());
    copy->AddStrings(ATable);
    GCurrentTable = std::move(copy);
    TranslateScenes();
}

void TranslateScenes()
{
    // By position: a scene may register or unregister others while it translates.
    for (size_t i = 0; i < GScenes.size(); ++i) GScenes[i]->TranslateTexts();
}

void BeginCollecting() { GCollecting = std::make_unique<TStringList>(); }

std::unique_ptr<TStringList> EndCollecting() { return std::move(GCollecting); }

void RegisterScene(TuiScene* AScene) { GScenes.push_back(AScene); }

void UnregisterScene(TuiScene* AScene)
{
    auto it = std::find(GScenes.begin(), GScenes.end(), AScene);
    if (it != GScenes.end()) GScenes.erase(it);
}

} // namespace TranslationService
