// LangDump FILE: language data as the editor's scenarios read it back, in UTF-8, one item a line,
// the fields separated by tabs: "source<TAB>TEXT" for each source text in order, then for each
// language in order "language<TAB>NAME" and "line<TAB>NAME<TAB>SOURCE=TRANSLATION" for each line
// of its table. Exit code 2 when the file cannot be read or is not language data.
#include "framework/core/Text.h"
#include "lang/LanguageData.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: LangDump FILE\n", stderr);
        return 1;
    }
    std::ifstream in(std::filesystem::path(argv[1]), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TLanguageData data(CompareOrdinal);
    std::u16string error;
    if (!in.good() && !in.eof()) return 2;
    if (!ReadLanguageData(bytes, data, error)) {
        std::fprintf(stderr, "LangDump: %s\n", Utf8FromUtf16(error).c_str());
        return 2;
    }
    for (int i = 0; i < data.Original.Count(); ++i) std::printf("source\t%s\n", Utf8FromUtf16(data.Original.Strings(i)).c_str());
    for (int i = 0; i < data.Languages.Count(); ++i) {
        const std::string name = Utf8FromUtf16(data.Languages.Strings(i));
        std::printf("language\t%s\n", name.c_str());
        const auto* table = static_cast<const TStringList*>(data.Languages.Objects(i));
        for (int l = 0; table && l < table->Count(); ++l)
            std::printf("line\t%s\t%s\n", name.c_str(), Utf8FromUtf16(table->Strings(l)).c_str());
    }
    return 0;
}
