// Fuzz target of the language data reader: any input is either taken whole or not at all, and
// what the writer makes of accepted data reads back into the same bytes.
#include "lang/LanguageData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize)
{
    TLanguageData first(CompareOrdinal);
    std::u16string error;
    if (!ReadLanguageData(std::span<const uint8_t>(AData, ASize), first, error)) {
        if (error.empty() || first.Original.Count() != 0 || first.Languages.Count() != 0) std::abort();
        return 0;
    }
    const std::vector<uint8_t> written = WriteLanguageData(first.Original, first.Languages);
    TLanguageData second(CompareOrdinal);
    if (!ReadLanguageData(written, second, error)) std::abort();
    if (WriteLanguageData(second.Original, second.Languages) != written) std::abort();
    return 0;
}
