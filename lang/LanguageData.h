#pragma once
// The language data format, the same for the data stored with a form and for a language file:
//   source texts     wide text: the source-text list as one text
//   language count   32-bit signed integer, little-endian
//   per language     wide text: its name; wide text: its translation table as one text
// A wide text is a 32-bit little-endian count of UTF-16 code units followed by that many
// UTF-16LE units, without terminator. A language count of zero or less means no language: the
// reader stops there and keeps the source texts. The format has no header and no checksum, so
// the reader checks every count against the bytes that are left and takes a damaged input not
// at all.
#include "framework/core/StringList.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The source-text list: sorted, case-sensitive, duplicates dropped.
TStringList NewSourceTextList(TTextCompare ACompare);
// The language list: insertion order, case-insensitive, duplicates kept; each name carries its
// translation table.
TStringList NewLanguageList(TTextCompare ACompare);
// A translation table: "source=translation" lines, sorted, case-sensitive, identical lines dropped.
std::unique_ptr<TStringList> NewTranslationTable(TTextCompare ACompare);

struct TLanguageData {
    explicit TLanguageData(TTextCompare ACompare)
        : Original(NewSourceTextList(ACompare)), Languages(NewLanguageList(ACompare))
    {
    }
    TStringList Original;
    TStringList Languages;
};

// Reads all of AData into AResult (whose lists start empty), or, when the data is truncated or
// malformed, leaves it empty and answers false with the reason in AError.
bool ReadLanguageData(std::span<const uint8_t> AData, TLanguageData& AResult, std::u16string& AError);
std::vector<uint8_t> WriteLanguageData(const TStringList& AOriginal, const TStringList& ALanguages);
