#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "framework/core/Exception.h"
#include "profile/tests/WinTestSupport.h"
#include "profile/uiProfile.h"

namespace {

class uiProfileTest : public testing::Test {
protected:
    uiProfileTest()
        : Key(u"Software\\QelMonTests\\" + CurrentTestName()), Folder(u"QelMonTests_" + CurrentTestName())
    {
        Profile.SetRootKey(HKEY_CURRENT_USER);
        Profile.SetKeyPath(Key.Path());
        Profile.SetFileName(u"image.pfd");
    }

    void WriteBytes(const std::vector<uint8_t>& ABytes) { Profile.Write(ABytes.data(), static_cast<int>(ABytes.size())); }
    std::vector<uint8_t> StreamBytes() const
    {
        const TMemoryStream& s = Profile.Stream();
        return s.Memory() ? std::vector<uint8_t>(s.Memory(), s.Memory() + s.Size()) : std::vector<uint8_t>();
    }

    TTestRegistryKey Key;
    TTestFolder Folder;
    TuiProfile Profile{nullptr};
};

const std::vector<uint8_t> kTen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

}  // namespace

TEST_F(uiProfileTest, RootKeyZeroTouchesNoRegistry)
{
    WriteBytes(kTen);
    Profile.SetRootKey(nullptr);
    EXPECT_FALSE(Profile.SaveStreamToRegistry());
    EXPECT_FALSE(Profile.LoadStreamFromRegistry());
    EXPECT_FALSE(Key.Exists());
    EXPECT_EQ(StreamBytes(), kTen);

    // Only the user's and the machine's hive are taken, and both names must be set.
    Profile.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(Profile.SaveStreamToRegistry());
    Profile.SetRootKey(HKEY_CURRENT_USER);
    Profile.SetFileName(u"");
    EXPECT_FALSE(Profile.SaveStreamToRegistry());
    Profile.SetFileName(u"image.pfd");
    Profile.SetKeyPath(u"");
    EXPECT_FALSE(Profile.LoadStreamFromRegistry());
    EXPECT_FALSE(Key.Exists());
}

TEST_F(uiProfileTest, FilePathTakesOnlyExistingFolders)
{
    const std::u16string folder = Folder.Path().substr(0, Folder.Path().size() - 1);
    Profile.SetFilePath(folder);
    EXPECT_EQ(Profile.FilePath(), Folder.Path()) << "stored with its trailing backslash";
    Profile.SetFilePath(Folder.Path());
    EXPECT_EQ(Profile.FilePath(), Folder.Path()) << "not doubled";
    Profile.SetFilePath(Folder.Path() + u"missing");
    EXPECT_EQ(Profile.FilePath(), Folder.Path());
    Profile.SetFilePath(u"");
    EXPECT_EQ(Profile.FilePath(), Folder.Path());
}

TEST_F(uiProfileTest, ShortRegistryValueReadsIntoALargerBuffer)
{
    Key.Write(u"image.pfd", kTen.data(), 10);
    WriteBytes(std::vector<uint8_t>(50, 0xEE));
    ASSERT_TRUE(Profile.LoadStreamFromRegistry());
    EXPECT_EQ(StreamBytes(), kTen) << "the stream takes the value's size";
    EXPECT_EQ(Profile.Size(), 50) << "loads leave the recorded size";

    uint8_t buffer[100];
    std::memset(buffer, 0x5A, sizeof buffer);
    EXPECT_EQ(Profile.Read(buffer, 100), 10);
    EXPECT_EQ(std::memcmp(buffer, kTen.data(), 10), 0);
    for (int i = 10; i < 100; ++i) ASSERT_EQ(buffer[i], 0x5A) << i;
}

TEST_F(uiProfileTest, WriteNeverShrinksAndSizeResizes)
{
    WriteBytes(kTen);
    WriteBytes({0xF0, 0xF1, 0xF2, 0xF3, 0xF4});
    EXPECT_EQ(Profile.Size(), 10);
    EXPECT_EQ(StreamBytes(), (std::vector<uint8_t>{0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 6, 7, 8, 9, 10}));

    Profile.SetSize(4);
    EXPECT_EQ(Profile.Size(), 4);
    EXPECT_EQ(StreamBytes(), (std::vector<uint8_t>{0xF0, 0xF1, 0xF2, 0xF3}));
    EXPECT_EQ(Profile.Stream().Position(), 0);
    Profile.SetSize(6);
    EXPECT_EQ(StreamBytes(), (std::vector<uint8_t>{0xF0, 0xF1, 0xF2, 0xF3, 0, 0}));
}

TEST_F(uiProfileTest, LoadFromMissingKeyCreatesTheKey)
{
    WriteBytes(kTen);
    EXPECT_FALSE(Profile.LoadStreamFromRegistry());
    EXPECT_TRUE(Key.Exists());
    EXPECT_EQ(StreamBytes(), kTen);
}

TEST_F(uiProfileTest, RegistryRoundTripReplacesTheValue)
{
    Key.Write(u"image.pfd", kTen.data(), 10);
    const std::vector<uint8_t> image(120928, 0x3C);
    WriteBytes(image);
    int after = 0;
    Profile.OnAfterSaveToRegistry.Bind([&](TMemoryStream& AStream) { after += AStream.Size() == 120928; });
    ASSERT_TRUE(Profile.SaveStreamToRegistry());
    EXPECT_EQ(after, 1);
    std::vector<uint8_t> stored;
    DWORD type = 0;
    ASSERT_TRUE(Key.Read(u"image.pfd", stored, &type));
    EXPECT_EQ(type, DWORD{REG_BINARY});
    EXPECT_EQ(stored, image);

    TuiProfile other(nullptr);
    other.SetRootKey(HKEY_CURRENT_USER);
    other.SetKeyPath(Key.Path());
    other.SetFileName(u"image.pfd");
    ASSERT_TRUE(other.LoadStreamFromRegistry());
    EXPECT_EQ(other.Stream().Size(), 120928);
    EXPECT_EQ(std::memcmp(other.Stream().Memory(), image.data(), image.size()), 0);
}

TEST_F(uiProfileTest, BeforeEventVetoStopsEveryOperation)
{
    WriteFileBytes(Folder.Path() + u"image.pfd", kTen);
    Key.Write(u"image.pfd", kTen.data(), 10);
    const std::vector<uint8_t> mine = {42, 43};
    WriteBytes(mine);
    Profile.SetFilePath(Folder.Path());
    int afterCalls = 0;
    auto veto = [](TMemoryStream&, bool& bContinue) {
        EXPECT_TRUE(bContinue) << "true on entry";
        bContinue = false;
    };
    auto after = [&](TMemoryStream&) { ++afterCalls; };
    for (TuiProfileEvent* e : {&Profile.OnBeforeSaveToRegistry, &Profile.OnBeforeSaveToFile,
                               &Profile.OnBeforeLoadFromRegistry, &Profile.OnBeforeLoadFromFile})
        e->Bind(veto);
    for (TuiProfileEvent2* e : {&Profile.OnAfterSaveToRegistry, &Profile.OnAfterSaveToFile,
                                &Profile.OnAfterLoadFromRegistry, &Profile.OnAfterLoadFromFile})
        e->Bind(after);

    const std::pair<const char*, std::function<bool()>> operations[] = {
        {"SaveStreamToRegistry", [&] { return Profile.SaveStreamToRegistry(); }},
        {"LoadStreamFromRegistry", [&] { return Profile.LoadStreamFromRegistry(); }},
        {"SaveStreamToFile()", [&] { return Profile.SaveStreamToFile(); }},
        {"SaveStreamToFile(path)", [&] { return Profile.SaveStreamToFile(Folder.Path() + u"image.pfd"); }},
        {"LoadStreamFromFile()", [&] { return Profile.LoadStreamFromFile(); }},
        {"LoadStreamFromFile(path)", [&] { return Profile.LoadStreamFromFile(Folder.Path() + u"image.pfd"); }},
    };
    for (const auto& [name, operation] : operations) EXPECT_FALSE(operation()) << name;
    EXPECT_EQ(afterCalls, 0);
    EXPECT_EQ(StreamBytes(), mine);
    EXPECT_EQ(FileBytes(Folder.Path() + u"image.pfd"), kTen);
    std::vector<uint8_t> stored;
    ASSERT_TRUE(Key.Read(u"image.pfd", stored));
    EXPECT_EQ(stored, kTen);
}

TEST_F(uiProfileTest, FileLoadsAndSaves)
{
    int loads = 0;
    int saves = 0;
    int beforeLoads = 0;
    Profile.OnAfterLoadFromFile.Bind([&](TMemoryStream&) { ++loads; });
    Profile.OnAfterSaveToFile.Bind([&](TMemoryStream&) { ++saves; });
    Profile.OnBeforeLoadFromFile.Bind([&](TMemoryStream&, bool&) { ++beforeLoads; });

    WriteBytes(kTen);
    EXPECT_FALSE(Profile.SaveStreamToFile()) << "no folder yet";
    EXPECT_FALSE(Profile.LoadStreamFromFile());
    Profile.SetFilePath(Folder.Path());
    EXPECT_FALSE(Profile.LoadStreamFromFile()) << "no file yet";
    ASSERT_TRUE(Profile.SaveStreamToFile());
    EXPECT_EQ(FileBytes(Folder.Path() + u"image.pfd"), kTen);

    const std::vector<uint8_t> longer(300, 0x77);
    WriteFileBytes(Folder.Path() + u"image.pfd", longer);
    ASSERT_TRUE(Profile.LoadStreamFromFile());
    EXPECT_EQ(StreamBytes(), longer) << "the stream takes the whole file";

    const std::u16string missing = Folder.Path() + u"nothere.pfd";
    const int before = beforeLoads;
    EXPECT_FALSE(Profile.LoadStreamFromFile(missing));
    EXPECT_EQ(beforeLoads, before) << "a missing file is refused before the before-event";

    // Saving to a path creates its last folder level; deeper missing levels are refused.
    WriteBytes(kTen);
    const std::u16string nested = Folder.Path() + u"sub\\copy.pfd";
    ASSERT_TRUE(Profile.SaveStreamToFile(nested));
    EXPECT_EQ(FileBytes(nested), StreamBytes());
    EXPECT_FALSE(Profile.SaveStreamToFile(Folder.Path() + u"a\\b\\copy.pfd"));
    EXPECT_EQ(Profile.FilePath(), Folder.Path()) << "saving to a path keeps folder and name";
    EXPECT_EQ(Profile.FileName(), u"image.pfd");

    WriteFileBytes(Folder.Path() + u"small.pfd", {9, 9});
    ASSERT_TRUE(Profile.LoadStreamFromFile(Folder.Path() + u"small.pfd"));
    EXPECT_EQ(StreamBytes(), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(Profile.FileName(), u"image.pfd");
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(saves, 2);
}

TEST_F(uiProfileTest, PreSaveTakesFolderAndName)
{
    WriteBytes(kTen);
    const std::u16string target = Folder.Path() + u"new\\Profile3.gpf";
    ASSERT_TRUE(Profile.PreSaveStreamToFile(target));
    EXPECT_EQ(Profile.FilePath(), Folder.Path() + u"new\\");
    EXPECT_EQ(Profile.FileName(), u"Profile3.gpf");
    ASSERT_TRUE(Profile.SaveStreamToFile());
    EXPECT_EQ(FileBytes(target), kTen);
    EXPECT_FALSE(Profile.PreSaveStreamToFile(Folder.Path() + u"x\\y\\z.gpf"));
    EXPECT_EQ(Profile.FileName(), u"Profile3.gpf");
}

TEST_F(uiProfileTest, StorageErrorsCarryTheLibraryTexts)
{
    WriteBytes(kTen);
    // A folder that vanished after it was taken: the file cannot be created.
    const TTestFolder gone(u"QelMonTests_gone_" + CurrentTestName());
    Profile.SetFilePath(gone.Path());
    gone.Remove();
    try {
        Profile.SaveStreamToFile();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        const std::u16string start = u"Cannot create file \"" + gone.Path() + u"image.pfd\". ";
        EXPECT_EQ(e.Message().substr(0, start.size()), start) << e.what();
        EXPECT_GT(e.Message().size(), start.size()) << "with the system's reason";
    }

    // A file another handle holds without sharing cannot be opened.
    const std::u16string locked = Folder.Path() + u"locked.pfd";
    WriteFileBytes(locked, kTen);
    THandleOwner hold(CreateFileW(W(locked), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold.Valid());
    try {
        Profile.LoadStreamFromFile(locked);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().rfind(u"Cannot open file \"" + locked + u"\". ", 0), 0u) << e.what();
    }
    hold.Reset();
    EXPECT_EQ(StreamBytes(), kTen) << "a failed load leaves the stream";

    const char16_t text[] = u"text";
    Key.Write(u"image.pfd", text, sizeof text, REG_SZ);
    try {
        Profile.LoadStreamFromRegistry();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Invalid data type for 'image.pfd'");
    }
    EXPECT_EQ(StreamBytes(), kTen);

    // The registry takes no value name longer than 16383 units.
    const std::u16string tooLong(20000, u'v');
    Profile.SetFileName(tooLong);
    try {
        Profile.SaveStreamToRegistry();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Failed to set data for '" + tooLong + u"'");
    }
}

TEST_F(uiProfileTest, RestoreToDefaultHandsOverTheStream)
{
    Profile.RestoreToDefault();  // no handler: nothing happens
    WriteBytes(kTen);
    const TMemoryStream* seen = nullptr;
    Profile.OnRestoreToDefault.Bind([&](TMemoryStream& AStream) {
        seen = &AStream;
        AStream.Memory()[0] = 0xCD;
    });
    Profile.RestoreToDefault();
    EXPECT_EQ(seen, &Profile.Stream());
    EXPECT_EQ(StreamBytes()[0], 0xCD);
    EXPECT_EQ(Profile.Stream().Size(), 10);
    EXPECT_FALSE(Key.Exists()) << "nothing is saved";
}
