#pragma once
// Storage component: one memory stream mirrored to a file (folder plus file name) or to a binary
// registry value (root key, key path, value name = file name). It gives the bytes no meaning.
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Event.h"
#include "framework/core/MemoryStream.h"

// Fills the stream's memory with factory values.
using TuiProfileOnRestoreToDefault = TEvent<void(TMemoryStream& AStream)>;
// Before a load or save; the handler sets bContinue false to cancel it.
using TuiProfileEvent = TEvent<void(TMemoryStream& AStream, bool& bContinue)>;
// After a successful load or save.
using TuiProfileEvent2 = TEvent<void(TMemoryStream& AStream)>;

class TuiProfile : public TComponent {
public:
    explicit TuiProfile(TComponent* AOwner);

    // Only HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE are used by the registry operations.
    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY AValue) { FRootKey = AValue; }
    const std::u16string& KeyPath() const { return FKeyPath; }
    void SetKeyPath(const std::u16string& AValue) { FKeyPath = AValue; }
    // Also the name of the registry value.
    const std::u16string& FileName() const { return FFileName; }
    void SetFileName(const std::u16string& AValue) { FFileName = AValue; }
    // Kept with a trailing "\"; a folder that does not exist is not taken.
    const std::u16string& FilePath() const { return FFilePath; }
    void SetFilePath(const std::u16string& AValue);
    // The size recorded by the last Write or SetSize; loads leave it as it is.
    int64_t Size() const { return FSize; }
    void SetSize(int64_t AValue);

    const TMemoryStream& Stream() const { return FMemoryStream; }

    // From the stream's start. Write never shrinks the stream; Read leaves the part of ABuffer
    // past the stream's end as it was.
    int Write(const void* ABuffer, int ACount);
    int Read(void* ABuffer, int ACount);

    // Loads and saves answer true on success. A veto, a missing folder, file or value and an
    // unusable key give false with the stream unchanged; file and registry failures themselves
    // raise Exception.
    bool LoadStreamFromFile();
    bool LoadStreamFromFile(const std::u16string& strFilewithpath);
    bool SaveStreamToFile();
    bool SaveStreamToFile(const std::u16string& strFileWithPath);
    // Creates the path's folder (one level) and takes the path as folder and name for a later
    // SaveStreamToFile().
    bool PreSaveStreamToFile(const std::u16string& strFileWithPath);
    bool LoadStreamFromRegistry();
    bool SaveStreamToRegistry();
    // Hands the stream to OnRestoreToDefault; nothing is saved.
    void RestoreToDefault();

    TuiProfileOnRestoreToDefault OnRestoreToDefault;
    TuiProfileEvent OnBeforeSaveToRegistry;
    TuiProfileEvent OnBeforeSaveToFile;
    TuiProfileEvent OnBeforeLoadFromRegistry;
    TuiProfileEvent OnBeforeLoadFromFile;
    TuiProfileEvent2 OnAfterSaveToRegistry;
    TuiProfileEvent2 OnAfterSaveToFile;
    TuiProfileEvent2 OnAfterLoadFromRegistry;
    TuiProfileEvent2 OnAfterLoadFromFile;

private:
    bool Proceed(const TuiProfileEvent& ABefore);
    bool RegistryUsable() const;
    // Creates the folder part of the path when missing; false when it cannot.
    static bool PrepareFolder(const std::u16string& AFileWithPath);
    void LoadFile(const std::u16string& AFileWithPath);
    void SaveFile(const std::u16string& AFileWithPath) const;

    TMemoryStream FMemoryStream;
    HKEY FRootKey = nullptr;
    std::u16string FKeyPath;
    std::u16string FFileName;
    std::u16string FFilePath;
    int64_t FSize = 0;
};
