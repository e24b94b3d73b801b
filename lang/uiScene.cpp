#include "lang/uiScene.h"

#include "lang/TranslationService.h"

TuiScene::TuiScene(TComponent* AOwner) : TComponent(AOwner) { TranslationService::RegisterScene(this); }

TuiScene::~TuiScene() { TranslationService::UnregisterScene(this); }

int TuiScene::AddText(const std::u16string& AText)
{
    FTexts.push_back(AText);
    return TextCount() - 1;
}

void TuiScene::TranslateTexts()
{
    for (std::u16string& text : FTexts) text = TranslateText(text);
}
