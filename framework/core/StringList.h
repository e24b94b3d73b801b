#pragma once
// Lists of texts: kept sorted or in insertion order, compared with or without case, duplicates
// dropped or kept, each text optionally carrying an object the list owns; "name=value" lines;
// the whole list as one text with a line break after every line.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Root of the objects a list can carry. The list owns them and frees them with their text.
class TStringsObject {
public:
    TStringsObject() = default;
    TStringsObject(const TStringsObject&) = default;
    TStringsObject& operator=(const TStringsObject&) = default;
    virtual ~TStringsObject() = default;
};

// Orders two texts (negative, zero, positive). Sorting follows it: the user locale's collation
// where the platform offers one, code-unit order elsewhere.
using TTextCompare = int (*)(std::u16string_view A, std::u16string_view B, bool ACaseSensitive);

// Code-unit order; without case, ASCII letters compare as their lower case.
int CompareOrdinal(std::u16string_view A, std::u16string_view B, bool ACaseSensitive);

enum class TListOrder { Insertion, Sorted };
enum class TCase { Insensitive, Sensitive };
enum class TDuplicates { Ignore, Accept };

class TStringList : public TStringsObject {
public:
    explicit TStringList(TTextCompare ACompare = CompareOrdinal, TListOrder AOrder = TListOrder::Insertion,
                         TCase ACase = TCase::Insensitive, TDuplicates ADuplicates = TDuplicates::Accept);
    TStringList(TStringList&&) noexcept = default;
    TStringList& operator=(TStringList&&) noexcept = default;

    TTextCompare Compare() const { return FCompare; }
    bool Sorted() const { return FOrder == TListOrder::Sorted; }
    bool CaseSensitive() const { return FCase == TCase::Sensitive; }

    int Count() const { return static_cast<int>(FItems.size()); }
    const std::u16string& Strings(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)).Text; }
    TStringsObject* Objects(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)).Object.get(); }
    // Hands the object at that position to the caller; the text stays, without an object.
    std::unique_ptr<TStringsObject> TakeObject(int AIndex);

    // Adds a text (at its sorted place in a sorted list) and answers its position. A sorted
    // list that drops duplicates answers the position of the equal text it already holds, and
    // frees the object that came with the dropped one.
    int Add(std::u16string AText);
    int AddObject(std::u16string AText, std::unique_ptr<TStringsObject> AObject);
    // Adds every text of another list, without its objects.
    void AddStrings(const TStringList& AOther);
    void Delete(int AIndex);
    void Clear() { FItems.clear(); }

    // Position of the first text equal to the given one (exactly when case-sensitive, by the
    // comparison without case otherwise), -1 when there is none.
    int IndexOf(std::u16string_view AText) const;
    // Position of the first "name=value" line whose name equals the given one, -1 when none.
    // A line without "=" has no name.
    int IndexOfName(std::u16string_view AName) const;
    // The text before a line's first "=", and the text after it (both empty without "=").
    std::u16string Names(int AIndex) const;
    std::u16string ValueFromIndex(int AIndex) const;
    std::u16string Values(std::u16string_view AName) const;

    // Every line followed by CR LF.
    std::u16string Text() const;
    // Replaces the content with the lines of a text: a line ends at CR LF, CR, LF, VT, FF,
    // U+2028 or U+2029; a NUL ends the text; two breaks in a row make an empty line.
    void SetText(std::u16string_view AText);

private:
    struct TItem {
        std::u16string Text;
        std::unique_ptr<TStringsObject> Object;
    };
    bool Equal(std::u16string_view A, std::u16string_view B) const;
    // Sorting order. With case, texts that the collation ranks alike but that differ are told
    // apart by code units, so that only identical texts count as duplicates.
    int Order(std::u16string_view A, std::u16string_view B) const;
    // Binary search of a sorted list: true and the position when found, else the insert position.
    bool Find(std::u16string_view AText, size_t& AIndex) const;

    TTextCompare FCompare;
    TListOrder FOrder;
    TCase FCase;
    TDuplicates FDuplicates;
    std::vector<TItem> FItems;
};
