#include "framework/core/FilePath.h"

namespace {

size_t NameStart(const std::u16string& APath)
{
    const size_t separator = APath.find_last_of(u"\\:");
    return separator == std::u16string::npos ? 0 : separator + 1;
}

}  // namespace

std::u16string ExtractFilePath(const std::u16string& APath) { return APath.substr(0, NameStart(APath)); }

std::u16string ExtractFileName(const std::u16string& APath) { return APath.substr(NameStart(APath)); }

std::u16string IncludeTrailingPathDelimiter(const std::u16string& APath)
{
    if (!APath.empty() && APath.back() == u'\\') return APath;
    return APath + u'\\';
}
