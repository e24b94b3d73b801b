#pragma once
// Splitting and joining Windows paths ("\" separates folders, a drive ends in ":").
#include <string>

// The folder part with its trailing "\" (empty when there is none).
std::u16string ExtractFilePath(const std::u16string& APath);
// The part after the last "\" or ":".
std::u16string ExtractFileName(const std::u16string& APath);
// The path with one "\" at its end, unless it already ends with one.
std::u16string IncludeTrailingPathDelimiter(const std::u16string& APath);
