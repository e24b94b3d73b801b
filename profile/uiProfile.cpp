#include "profile/uiProfile.h"

#include <vector>

#include "framework/core/FilePath.h"
#include "framework/win/FileStream.h"
#include "framework/win/FileSystem.h"
#include "framework/win/Registry.h"

TuiProfile::TuiProfile(TComponent* AOwner) : TComponent(AOwner) {}

void TuiProfile::SetFilePath(const std::u16string& AValue)
{
    if (AValue == FFilePath || !DirectoryExists(AValue)) return;
    FFilePath = IncludeTrailingPathDelimiter(AValue);
}

void TuiProfile::SetSize(int64_t AValue)
{
    if (AValue == FSize) return;
    FSize = AValue;
    FMemoryStream.SetSize(AValue);
    FMemoryStream.SetPosition(0);
}

int TuiProfile::Write(const void* ABuffer, int ACount)
{
    FMemoryStream.SetPosition(0);
    const int written = static_cast<int>(FMemoryStream.Write(ABuffer, ACount));
    FSize = FMemoryStream.Size();
    return written;
}

int TuiProfile::Read(void* ABuffer, int ACount)
{
    FMemoryStream.SetPosition(0);
    return static_cast<int>(FMemoryStream.Read(ABuffer, ACount));
}

bool TuiProfile::Proceed(const TuiProfileEvent& ABefore)
{
    bool bContinue = true;
    ABefore(FMemoryStream, bContinue);
    return bContinue;
}

bool TuiProfile::RegistryUsable() const
{
    return (FRootKey == HKEY_CURRENT_USER || FRootKey == HKEY_LOCAL_MACHINE) && !FKeyPath.empty()
           && !FFileName.empty();
}

bool TuiProfile::PrepareFolder(const std::u16string& AFileWithPath)
{
    const std::u16string folder = ExtractFilePath(AFileWithPath);
    return DirectoryExists(folder) || CreateDir(folder);
}

void TuiProfile::LoadFile(const std::u16string& AFileWithPath)
{
    // Read into a buffer first: a failed read leaves the stream as it was.
    TFileStream file(AFileWithPath, TFileMode::OpenRead);
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    FMemoryStream.SetSize(0);
    FMemoryStream.SetPosition(0);
    FMemoryStream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    FMemoryStream.SetPosition(0);
}

void TuiProfile::SaveFile(const std::u16string& AFileWithPath) const
{
    TFileStream file(AFileWithPath, TFileMode::Create);
    file.WriteBuffer(FMemoryStream.Memory(), FMemoryStream.Size());
}

bool TuiProfile::LoadStreamFromFile()
{
    if (!Proceed(OnBeforeLoadFromFile)) return false;
    if (FFilePath.empty()) return false;
    FFilePath = IncludeTrailingPathDelimiter(FFilePath);
    if (!FileExists(FFilePath + FFileName)) return false;
    LoadFile(FFilePath + FFileName);
    OnAfterLoadFromFile(FMemoryStream);
    return true;
}

bool TuiProfile::LoadStreamFromFile(const std::u16string& strFilewithpath)
{
    if (!FileExists(strFilewithpath)) return false;
    if (!Proceed(OnBeforeLoadFromFile)) return false;
    // The handler may have moved the file away.
    if (!FileExists(strFilewithpath)) return false;
    LoadFile(strFilewithpath);
    OnAfterLoadFromFile(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToFile()
{
    if (!Proceed(OnBeforeSaveToFile)) return false;
    if (FFilePath.empty()) return false;
    FFilePath = IncludeTrailingPathDelimiter(FFilePath);
    SaveFile(FFilePath + FFileName);
    OnAfterSaveToFile(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToFile(const std::u16string& strFileWithPath)
{
    if (!PrepareFolder(strFileWithPath)) return false;
    if (!Proceed(OnBeforeSaveToFile)) return false;
    SaveFile(strFileWithPath);
    OnAfterSaveToFile(FMemoryStream);
    return true;
}

bool TuiProfile::PreSaveStreamToFile(const std::u16string& strFileWithPath)
{
    if (!PrepareFolder(strFileWithPath)) return false;
    FFilePath = ExtractFilePath(strFileWithPath);
    FFileName = ExtractFileName(strFileWithPath);
    return true;
}

bool TuiProfile::LoadStreamFromRegistry()
{
    if (!Proceed(OnBeforeLoadFromRegistry)) return false;
    if (!RegistryUsable()) return false;
    TRegistry registry(FRootKey);
    if (!registry.OpenKey(FKeyPath, true)) return false;
    const long size = registry.GetDataSize(FFileName);
    if (size < 0) return false;
    // Read into a buffer first: a value that cannot be read leaves the stream as it was.
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const long got = registry.ReadBinaryData(FFileName, bytes.data(), size);
    registry.CloseKey();
    FMemoryStream.SetSize(got);
    FMemoryStream.SetPosition(0);
    FMemoryStream.Write(bytes.data(), got);
    FMemoryStream.SetPosition(0);
    OnAfterLoadFromRegistry(FMemoryStream);
    return true;
}

bool TuiProfile::SaveStreamToRegistry()
{
    if (!Proceed(OnBeforeSaveToRegistry)) return false;
    if (!RegistryUsable()) return false;
    TRegistry registry(FRootKey);
    if (!registry.OpenKey(FKeyPath, true)) return false;
    registry.WriteBinaryData(FFileName, FMemoryStream.Memory(), static_cast<long>(FMemoryStream.Size()));
    registry.CloseKey();
    OnAfterSaveToRegistry(FMemoryStream);
    return true;
}

void TuiProfile::RestoreToDefault() { OnRestoreToDefault(FMemoryStream); }
