#include "framework/core/StringList.h"

#include <algorithm>
#include <stdexcept>

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c; }

bool IsLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\u2028' || c == u'\u2029';
}

} // namespace

int CompareOrdinal(std::u16string_view A, std::u16string_view B, bool ACaseSensitive)
{
    const size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t a = ACaseSensitive ? A[i] : FoldAscii(A[i]);
        const char16_t b = ACaseSensitive ? B[i] : FoldAscii(B[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : A.size() < B.size() ? -1 : 1;
}

TStringList::TStringList(TTextCompare ACompare, TListOrder AOrder, TCase ACase, TDuplicates ADuplicates)
    : FCompare(ACompare ? ACompare : CompareOrdinal), FOrder(AOrder), FCase(ACase), FDuplicates(ADuplicates)
{
}

std::unique_ptr<TStringsObject> TStringList::TakeObject(int AIndex)
{
    return std::move(FItems.at(static_cast<size_t>(AIndex)).Object);
}

int TStringList::Add(std::u16string AText) { return AddObject(std::move(AText), nullptr); }

int TStringList::AddObject(std::u16string AText, std::unique_ptr<TStringsObject> AObject)
{
    size_t at = FItems.size();
    if (Sorted()) {
        if (Find(AText, at) && FDuplicates == TDuplicates::Ignore) return static_cast<int>(at);
        // An equal text that is kept goes after those already there.
        while (at < FItems.size() && Order(FItems[at].Text, AText) == 0) ++at;
    }
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(at), TItem{std::move(AText), std::move(AObject)});
    return static_cast<int>(at);
}

void TStringList::AddStrings(const TStringList& AOther)
{
    for (const TItem& item : AOther.FItems) Add(item.Text);
}

void TStringList::Delete(int AIndex)
{
    if (AIndex < 0 || AIndex >= Count()) throw std::out_of_range("TStringList::Delete");
    FItems.erase(FItems.begin() + AIndex);
}

bool TStringList::Equal(std::u16string_view A, std::u16string_view B) const
{
    return CaseSensitive() ? A == B : FCompare(A, B, false) == 0;
}

int TStringList::Order(std::u16string_view A, std::u16string_view B) const
{
    const int r = FCompare(A, B, CaseSensitive());
    if (r != 0 || !CaseSensitive()) return r;
    return CompareOrdinal(A, B, true);
}

bool TStringList::Find(std::u16string_view AText, size_t& AIndex) const
{
    size_t lo = 0;
    size_t hi = FItems.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (Order(FItems[mid].Text, AText) < 0) lo = mid + 1;
        else hi = mid;
    }
    AIndex = lo;
    return lo < FItems.size() && Order(FItems[lo].Text, AText) == 0;
}

int TStringList::IndexOf(std::u16string_view AText) const
{
    if (Sorted()) {
        size_t at = 0;
        return Find(AText, at) ? static_cast<int>(at) : -1;
    }
    for (size_t i = 0; i < FItems.size(); ++i)
        if (Equal(FItems[i].Text, AText)) return static_cast<int>(i);
    return -1;
}

int TStringList::IndexOfName(std::u16string_view AName) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        const std::u16string_view line = FItems[i].Text;
        const size_t eq = line.find(u'=');
        if (eq != std::u16string_view::npos && Equal(line.substr(0, eq), AName)) return static_cast<int>(i);
    }
    return -1;
}

std::u16string TStringList::Names(int AIndex) const
{
    const std::u16string& line = Strings(AIndex);
    const size_t eq = line.find(u'=');
    return eq == std::u16string::npos ? std::u16string() : line.substr(0, eq);
}

std::u16string TStringList::ValueFromIndex(int AIndex) const
{
    const std::u16string& line = Strings(AIndex);
    const size_t eq = line.find(u'=');
    return eq == std::u16string::npos ? std::u16string() : line.substr(eq + 1);
}

std::u16string TStringList::Values(std::u16string_view AName) const
{
    const int i = IndexOfName(AName);
    return i < 0 ? std::u16string() : ValueFromIndex(i);
}

std::u16string TStringList::Text() const
{
    std::u16string out;
    for (const TItem& item : FItems) {
        out += item.Text;
        out += u"\r\n";
    }
    return out;
}

void TStringList::SetText(std::u16string_view AText)
{
    Clear();
    const size_t end = std::min(AText.find(u'\0'), AText.size());
    size_t start = 0;
    size_t i = 0;
    while (i < end) {
        if (!IsLineBreak(AText[i])) {
            ++i;
            continue;
        }
        FItems.push_back(TItem{std::u16string(AText.substr(start, i - start)), nullptr});
        i += AText[i] == u'\r' && i + 1 < end && AText[i + 1] == u'\n' ? 2 : 1;
        start = i;
    }
    if (start < end) FItems.push_back(TItem{std::u16string(AText.substr(start, end - start)), nullptr});
    if (!Sorted()) return;
    // Sorted at once rather than line by line, so that a long text costs n log n comparisons;
    // the result is that of adding the lines in order.
    auto before = [this](const TItem& a, const TItem& b) { return Order(a.Text, b.Text) < 0; };
    std::stable_sort(FItems.begin(), FItems.end(), before);
    if (FDuplicates == TDuplicates::Ignore) {
        auto same = [this](const TItem& a, const TItem& b) { return Order(a.Text, b.Text) == 0; };
        FItems.erase(std::unique(FItems.begin(), FItems.end(), same), FItems.end());
    }
}
