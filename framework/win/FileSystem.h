#pragma once
// Questions to the file system by path, and the program's own folder.
#include <string>

bool FileExists(const std::u16string& AFileName);
bool DirectoryExists(const std::u16string& ADirectory);
// Creates one folder level; false when it cannot.
bool CreateDir(const std::u16string& ADirectory);
// The folder of the running executable, with its trailing "\".
std::u16string ProgramFolder();
// The system's text for an error code, without its trailing line break and full stop.
std::u16string SysErrorMessage(unsigned long AErrorCode);
