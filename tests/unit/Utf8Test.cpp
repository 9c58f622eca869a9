#include "catalogue/Utf8.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

TEST(Utf8, CharactersAreTakenWholeAndBrokenBytesOneByOne)
{
    const std::string text = "aü表😀";
    EXPECT_EQ(CharLength(text, 0), 1u);
    EXPECT_EQ(CharLength(text, 1), 2u);
    EXPECT_EQ(CharLength(text, 3), 3u);
    EXPECT_EQ(CharLength(text, 6), 4u);
    EXPECT_EQ(LastCharStart(text), 6u);
    EXPECT_EQ(LastCharStart("a"), 0u);
    // A cut character, a stray continuation byte and a lead byte that
    // starts nothing count one byte each.
    const std::string cut = "a\xE8\xA1";
    EXPECT_EQ(CharLength(cut, 1), 1u);
    EXPECT_EQ(LastCharStart(cut), 2u);
    EXPECT_EQ(CharLength("\xA1x", 0), 1u);
    EXPECT_EQ(CharLength("\xE8x\xA8", 0), 1u);
    EXPECT_EQ(CharLength("\xC0\x80", 0), 1u);
    EXPECT_EQ(CharLength("\xF5\x80\x80\x80", 0), 1u);
}

TEST(Utf8, CaseFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(FoldCase("Jürgen-€😀z"), "JüRGEN-€😀Z");
    EXPECT_TRUE(EqualNoCase("clsid", "CLSID"));
    EXPECT_FALSE(EqualNoCase("Jürgen", "JÜRGEN")) << "ü is no ASCII letter";
    EXPECT_TRUE(EqualNoCase("表示", "表示"));
    EXPECT_FALSE(EqualNoCase("CLSID", "CLSI"));
    // 0xC3 0xA1 (á) and 0xC3 0x81 (Á) differ by the bit of ASCII case.
    EXPECT_FALSE(EqualNoCase("\xC3\xA1", "\xC3\x81"));
}

TEST(Utf8, PrefixesAndParentPathsCompareAsNamesDo)
{
    EXPECT_TRUE(StartsWithNoCase("C:\\WINDOWS\\system32", "c:\\windows"));
    EXPECT_TRUE(StartsWithNoCase("CLSID", "CLSID"));
    EXPECT_FALSE(StartsWithNoCase("CLS", "CLSID")) << "shorter than the prefix";
    EXPECT_FALSE(StartsWithNoCase("Jürgen\\x", "JÜRGEN")) << "ü is no ASCII letter";
    EXPECT_TRUE(StartsWithNoCase(u"\\registry\\Machine\\x", u"\\REGISTRY\\MACHINE\\"));

    // Below: the parent, a backslash, and a name after it.
    EXPECT_TRUE(IsPathBelow("c:\\windows\\x.dll", "C:\\Windows"));
    EXPECT_FALSE(IsPathBelow("C:\\WindowsApps\\x.dll", "C:\\Windows")) << "another folder of a longer name";
    EXPECT_FALSE(IsPathBelow("C:\\Windows\\", "C:\\Windows")) << "nothing below";
    EXPECT_FALSE(IsPathBelow("C:\\Windows", "C:\\Windows"));
    EXPECT_TRUE(IsPathBelow(u"hkey_classes_root\\App", u"HKEY_CLASSES_ROOT"));
    EXPECT_FALSE(IsPathBelow(u"HKEY_CLASSES_ROOTX\\App", u"HKEY_CLASSES_ROOT"));
}

}  // namespace
}  // namespace qob
