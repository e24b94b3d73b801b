#pragma once
// The process-wide translation service: the table that texts are translated with, TranslateText
// for single texts, and the registered scenes, which re-translate their texts when asked (forward
// under the current table, back to the source texts while the service undoes a translation).
// Used on the main thread only.
#include "framework/core/StringList.h"

#include <functional>
#include <memory>
#include <string>

class TuiScene;

// When set, replaces the table lookup of TranslateText.
using TCustomTranslateHook = std::function<std::u16string(const std::u16string&)>;
extern TCustomTranslateHook CustomTranslateHook;

// The translation of one text under the current table, or the text itself when the table has
// no non-empty translation for it (or there is no table).
std::u16string TranslateText(const std::u16string& AText);

namespace TranslationService {

bool HasCurrentTable();
// Maps every scene's texts back to their source texts and drops the current table.
void Reset();
// Makes a private copy of the table current and translates every scene with it.
void Apply(const TStringList& ATable);
// Asks every registered scene to pass its texts through TranslateText.
void TranslateScenes();

// While collecting, every text given to TranslateText is also added to the collecting list.
void BeginCollecting();
std::unique_ptr<TStringList> EndCollecting();

void RegisterScene(TuiScene* AScene);
void UnregisterScene(TuiScene* AScene);

} // namespace TranslationService
