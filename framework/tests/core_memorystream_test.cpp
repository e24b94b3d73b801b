#include "framework/core/FilePath.h"
#include "framework/core/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MemoryStream, WritesGrowReadsStopAtTheEnd)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);

    const char text[] = "0123456789";
    EXPECT_EQ(stream.Write(text, 10), 10);
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Position(), 10);

    stream.SetPosition(0);
    EXPECT_EQ(stream.Write("ab", 2), 2);
    EXPECT_EQ(stream.Size(), 10) << "writing inside the stream does not shrink it";

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(buffer, 16), 10);
    EXPECT_EQ(std::memcmp(buffer, "ab23456789######", 16), 0);
    EXPECT_EQ(stream.Read(buffer, 4), 0) << "nothing left after the end";

    stream.SetPosition(8);
    stream.Write("XYZ", 3);
    EXPECT_EQ(stream.Size(), 11);

    stream.SetSize(14);
    EXPECT_EQ(std::memcmp(stream.Memory() + 8, "XYZ\0\0\0", 6), 0) << "growing adds zero bytes";
    stream.SetSize(3);
    EXPECT_EQ(stream.Size(), 3);
    stream.SetPosition(5);
    EXPECT_EQ(stream.Read(buffer, 4), 0) << "a position past the end reads nothing";
    EXPECT_EQ(stream.Write(text, 0), 0);
    EXPECT_EQ(stream.Size(), 3);
}

TEST(FilePath, SplitAndJoin)
{
    struct Case {
        std::u16string Path, Folder, Name;
    };
    const Case cases[] = {
        {u"C:\\Users\\me\\Profile1.gpf", u"C:\\Users\\me\\", u"Profile1.gpf"},
        {u"C:\\Users\\me\\", u"C:\\Users\\me\\", u""},
        {u"C:name", u"C:", u"name"},
        {u"name", u"", u"name"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.Path), c.Folder);
        EXPECT_EQ(ExtractFileName(c.Path), c.Name);
    }
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"C:\\a"), u"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"C:\\a\\"), u"C:\\a\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u""), u"\\");
}
