#pragma once
// The simple modal message box: a fixed text with an OK button, titled with the application title.
#include <string>

void ShowMessage(const std::u16string& AText);
