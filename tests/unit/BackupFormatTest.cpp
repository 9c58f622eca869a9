#include "removal/BackupFormat.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

std::string Utf16(const std::u16string& text) { return ToUtf16Le(text); }

// The value's line(s) as AppendRegKeys writes them, without the key line.
std::u16string ValueText(const SavedValue& value)
{
    KeyTree tree{u"K", {{u"", {value}}}};
    std::u16string out;
    std::u16string bad;
    EXPECT_TRUE(AppendRegKeys(tree, out, bad));
    const std::u16string head = u"[K]\r\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    return out.substr(head.size(), out.size() - head.size() - 2);  // the blank line after the key dropped
}

TEST(RegFileWriter, EveryValueTypeAsTheRegistryEditorWritesIt)
{
    const std::vector<std::pair<SavedValue, std::u16string>> cases{
        {{u"", 1, Utf16(std::u16string(u"x\0", 2))}, u"@=\"x\"\r\n"},
        {{u"q\"b\\s", 1, Utf16(std::u16string(u"a\"b\\c\\n\0", 8))}, u"\"q\\\"b\\\\s\"=\"a\\\"b\\\\c\\\\n\"\r\n"},
        {{u"表 한 😀", 1, Utf16(std::u16string(u"表 한 😀\0", 7))}, u"\"表 한 😀\"=\"表 한 😀\"\r\n"},
        {{u"@", 1, Utf16(std::u16string(u"\0", 1))}, u"\"@\"=\"\"\r\n"},
        // Strings that a quoted string would not give back byte for byte.
        {{u"e", 1, ""}, u"\"e\"=hex(1):\r\n"},
        {{u"e", 1, Utf16(u"A")}, u"\"e\"=hex(1):41,00\r\n"},
        {{u"e", 1, std::string("A\0\0", 3)}, u"\"e\"=hex(1):41,00,00\r\n"},
        // One byte: an importer that reads whole units gets one (a zero byte added).
        {{u"e", 1, "A"}, u"\"e\"=hex(1):41,00\r\n"},
        {{u"x", 2, "A"}, u"\"x\"=hex(2):41,00\r\n"},
        {{u"m", 7, "A"}, u"\"m\"=hex(7):41,00\r\n"},
        {{u"b", 3, "A"}, u"\"b\"=hex:41\r\n"},
        {{u"e", 1, Utf16(std::u16string(u"A\0B\0", 4))}, u"\"e\"=hex(1):41,00,00,00,42,00,00,00\r\n"},
        {{u"e", 1, Utf16(std::u16string(u"A\r\n\0", 4))}, u"\"e\"=hex(1):41,00,0d,00,0a,00,00,00\r\n"},
        {{u"e", 1, Utf16(std::u16string(u"\t\0", 2))}, u"\"e\"=hex(1):09,00,00,00\r\n"},
        {{u"x", 2, Utf16(std::u16string(u"%A%\0", 4))}, u"\"x\"=hex(2):25,00,41,00,25,00,00,00\r\n"},
        {{u"m", 7, Utf16(std::u16string(u"a\0b\0\0", 5))}, u"\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"},
        {{u"d", 4, std::string("\xEF\xBE\xAD\xDE", 4)}, u"\"d\"=dword:deadbeef\r\n"},
        {{u"d", 4, std::string(4, '\0')}, u"\"d\"=dword:00000000\r\n"},
        {{u"d", 4, std::string("\1\2\3", 3)}, u"\"d\"=hex(4):01,02,03\r\n"},
        {{u"d", 4, ""}, u"\"d\"=hex(4):\r\n"},
        {{u"b", 5, std::string("\1\2\3\4", 4)}, u"\"b\"=hex(5):01,02,03,04\r\n"},
        {{u"q", 11, std::string("\1\2\3\4\5\6\7\x08", 8)}, u"\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n"},
        {{u"h", 3, std::string("\x00\xFF", 2)}, u"\"h\"=hex:00,ff\r\n"},
        {{u"h", 3, ""}, u"\"h\"=hex:\r\n"},
        {{u"n", 0, ""}, u"\"n\"=hex(0):\r\n"},
        {{u"n", 0, std::string("\0", 1)}, u"\"n\"=hex(0):00\r\n"},
        {{u"u", 0x12345678, std::string("\5", 1)}, u"\"u\"=hex(12345678):05\r\n"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(ValueText(value), expected) << "type " << value.type;
}

TEST(RegFileWriter, LongDataWrapsAtTheEditorsColumns)
{
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += static_cast<char>(i);
    EXPECT_EQ(ValueText({u"Test", 3, bytes}),
              u"\"Test\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
              u"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
              u"  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\r\n"
              u"  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\r\n"
              u"  61,62,63\r\n");
    // A name longer than a line: the data breaks after its first byte.
    const std::u16string name(80, u'n');
    EXPECT_EQ(ValueText({name, 2, std::string("\1\2", 2)}),
              u"\"" + name + u"\"=hex(2):01,\\\r\n  02\r\n");
}

TEST(RegFileWriter, KeysWithOddNamesEmptyKeysAndTheDefaultValue)
{
    const KeyTree tree{u"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}",
                       {{u"", {{u"", 1, Utf16(std::u16string(u"d\0", 2))}}},
                        {u"\\key]with]bracket", {}},
                        {u"\\quote\"key \x01\t", {{u"ctl\x01\t", 1, Utf16(std::u16string(u"t\x7f\0", 3))}}},
                        {u"\\表 한국 😀", {}}}};
    // (Texts outside code page 932 stay out of the assertion macros, which
    // spell their arguments in it.)
    const std::u16string expected =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}]\r\n@=\"d\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}\\key]with]bracket]\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}\\quote\"key \x01\t]\r\n\"ctl\x01\t\"=\"t\x7f\"\r\n\r\n"
        u"[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{id}\\表 한국 😀]\r\n\r\n";
    const std::u16string wide = u"A表😀";
    std::u16string out = RegFileHeader();
    std::u16string bad;
    ASSERT_TRUE(AppendRegKeys(tree, out, bad));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(ToUtf16Le(u"A表"), std::string("A\0\x68\x88", 4));
    EXPECT_EQ(FromUtf16Le("\xFF\xFE" + ToUtf16Le(wide)), wide);
    EXPECT_EQ(RegFileTopKeys(out), std::vector<std::u16string>{tree.location});

    // No line of the format carries a line break: such a name is refused
    // and nothing is written.
    for (const KeyTree& broken : {KeyTree{u"K", {{u"\\a\nb", {}}}}, KeyTree{u"K", {{u"", {{u"a\rb", 1, ""}}}}}}) {
        std::u16string text = u"kept";
        EXPECT_FALSE(AppendRegKeys(broken, text, bad));
        EXPECT_EQ(text, u"kept");
        EXPECT_NE(bad.find_first_of(u"\r\n"), std::u16string::npos);
    }
}

TEST(RegFileWriter, TopKeysOfAFileOfSeveralSaves)
{
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\Qob.A]\r\n@=\"[x]\"\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\Qob.A\\CLSID]\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\qob.a\\Deeper]\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\Qob.AB]\r\n\"v\"=hex:01,\\\r\n  [02]\r\n\r\n"
                                u"[HKEY_CLASSES_ROOT\\CLSID\\{id}]\r\n";
    EXPECT_EQ(RegFileTopKeys(text), (std::vector<std::u16string>{u"HKEY_CLASSES_ROOT\\Qob.A",
                                                                 u"HKEY_CLASSES_ROOT\\Qob.AB",
                                                                 u"HKEY_CLASSES_ROOT\\CLSID\\{id}"}));
}

TEST(RegFileWriter, KeysLeftOutWithTheirSubkeysAndEveryOtherLineKept)
{
    const std::u16string header = u"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::u16string a = u"[HKEY_CLASSES_ROOT\\Qob.A]\r\n@=\"[x]\"\r\n\r\n"
                             u"[HKEY_CLASSES_ROOT\\qob.a\\Deeper]\r\n\"v\"=hex:01,\\\r\n  [02]\r\n\r\n";
    const std::u16string ab = u"[HKEY_CLASSES_ROOT\\Qob.AB]\r\n@=\"b\"\r\n\r\n";
    const std::u16string id = u"[HKEY_CLASSES_ROOT\\CLSID\\{id}]\r\n";
    const std::u16string text = header + a + ab + id;
    EXPECT_EQ(RegTextWithout(text, {}), text);
    EXPECT_EQ(RegTextWithout(text, {u"HKEY_CLASSES_ROOT\\Qob.A", u"HKEY_CLASSES_ROOT\\CLSID\\{id}"}), header + ab);
    EXPECT_EQ(RegTextWithout(text, {u"HKEY_CLASSES_ROOT\\Qob.AB"}), header + a + id);
}

TEST(RegFileWriter, SectionsWithTheirValuesByNameAndTheirLinesAsTheyStand)
{
    const std::u16string top = u"[HKEY_CLASSES_ROOT\\Qob.A]\r\n";
    const std::u16string deflt = u"@=\"[x]\"\r\n";
    const std::u16string quoted = u"\"q\\\"b\\\\s\"=\"a\\\"b\"\r\n";
    const std::u16string wrapped = u"\"bin\"=hex:01,\\\r\n  [02],\\\r\n  \"03\"\r\n";
    const std::u16string odd = u"[HKEY_CLASSES_ROOT\\Qob.A\\key]with]bracket]\r\n";
    const std::u16string last = u"\"dw\"=dword:00000001";
    const std::u16string text = RegFileHeader() + top + deflt + quoted + wrapped + u"\r\n" + odd + u"\r\n" +
                                u"[HKEY_CLASSES_ROOT\\B]\r\n" + last;
    const std::vector<RegSection> sections = RegTextSections(text);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].key, u"HKEY_CLASSES_ROOT\\Qob.A");
    EXPECT_EQ(sections[0].keyLine, top);
    ASSERT_EQ(sections[0].values.size(), 3u);
    EXPECT_EQ(sections[0].values[0].name, u"");
    EXPECT_EQ(sections[0].values[0].lines, deflt);
    EXPECT_EQ(sections[0].values[1].name, u"q\"b\\s") << "the escapes undone";
    EXPECT_EQ(sections[0].values[1].lines, quoted);
    // Continuation lines belong to their value, whatever they look like.
    EXPECT_EQ(sections[0].values[2].name, u"bin");
    EXPECT_EQ(sections[0].values[2].lines, wrapped);
    EXPECT_EQ(sections[1].key, u"HKEY_CLASSES_ROOT\\Qob.A\\key]with]bracket");
    EXPECT_TRUE(sections[1].values.empty());
    // A last line without its line end gets one, as the lines before it have.
    ASSERT_EQ(sections[2].values.size(), 1u);
    EXPECT_EQ(sections[2].values[0].lines, last + u"\r\n");
    EXPECT_TRUE(RegTextSections(RegFileHeader()).empty());
}

TEST(BackupLocation, TheKeysRealPlaceOrItsViewsPlace)
{
    const auto native = RegistryView::Native;
    const auto wow = RegistryView::Wow64_32;
    EXPECT_EQ(KeyLocation(u"\\REGISTRY\\Machine\\Software\\Classes\\Wow6432Node\\CLSID\\{A}", u"clsid\\{a}", wow),
              u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\{A}");
    EXPECT_EQ(KeyLocation(u"\\REGISTRY\\MACHINE\\SOFTWARE\\Classes\\Typelib\\{T}", u"TypeLib\\{T}", native),
              u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Typelib\\{T}");
    EXPECT_EQ(KeyLocation(u"\\REGISTRY\\USER\\S-1-5-21-1_Classes\\Qob.A", u"Qob.A", native),
              u"HKEY_CURRENT_USER\\Software\\Classes\\Qob.A");
    EXPECT_EQ(KeyLocation(u"\\REGISTRY\\MACHINE\\Other\\X", u"X", native), u"HKEY_LOCAL_MACHINE\\Other\\X");
    // Without the system's name: the view decides.
    EXPECT_EQ(KeyLocation(u"", u"CLSID\\{A}", wow), u"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{A}");
    EXPECT_EQ(KeyLocation(u"", u"CLSID\\{A}", native), u"HKEY_CLASSES_ROOT\\CLSID\\{A}");
    EXPECT_EQ(KeyLocation(u"", u"CLSIDX\\{A}", wow), u"HKEY_CLASSES_ROOT\\CLSIDX\\{A}");
    EXPECT_EQ(KeyLocation(u"\\REGISTRY\\USER\\S-1-5-21-1\\Qob.A", u"TypeLib\\{T}", wow),
              u"HKEY_CLASSES_ROOT\\TypeLib\\{T}");
}

TEST(BackupFolderName, DateTimeAndAProgIdFitForAFileName)
{
    const LocalTime t{2026, 1, 2, 3, 4, 5};
    const std::u16string longId(150, u'L');
    const std::u16string cutInPair = std::u16string(99, u'L') + u"😀";
    const std::vector<std::pair<std::u16string, std::u16string>> cases{
        {u"Word.Document.8", u"2026-01-02 030405 Word.Document.8"},
        {u"a\\b/c:d*e?f\"g<h>i|j\x01k", u"2026-01-02 030405 a_b_c_d_e_f_g_h_i_j_k"},
        {u"表計算.", u"2026-01-02 030405 表計算_"},
        {u"Trail. .", u"2026-01-02 030405 Trail___"},
        {u"", u"2026-01-02 030405"},
        {longId, u"2026-01-02 030405 " + longId.substr(0, 100)},
        {cutInPair, u"2026-01-02 030405 " + cutInPair.substr(0, 99)},
    };
    for (const auto& [progId, expected] : cases)
        EXPECT_EQ(BackupFolderName(t, progId), expected);
}

TEST(BackupFileList, LinesReadBackAndMalformedOnesAreSkipped)
{
    const std::u16string text = ManifestLine(u"1 a.dll", u"C:\\表\\a.dll") + u"garbage\r\n\tC:\\x\r\n" +
                                ManifestLine(u"2 b b.exe", u"\\\\server\\share\\b b.exe");
    EXPECT_EQ(ParseManifest(text),
              (std::vector<std::pair<std::u16string, std::u16string>>{
                  {u"1 a.dll", u"C:\\表\\a.dll"}, {u"2 b b.exe", u"\\\\server\\share\\b b.exe"}}));
}

TEST(BackupFileText, OnlyLittleEndianUtf16AfterItsMark)
{
    std::u16string text = u"untouched";
    EXPECT_TRUE(Utf16FileText("\xFF\xFE" + Utf16(u"[K]\r\n"), text));
    EXPECT_EQ(text, u"[K]\r\n");
    EXPECT_TRUE(Utf16FileText("\xFF\xFE", text));
    EXPECT_EQ(text, u"");
    for (const std::string& bytes : {std::string(), Utf16(u"[K]"), "\xFE\xFF" + std::string("\0[", 2),
                                     "\xFF\xFE" + Utf16(u"[K]") + 'x'}) {
        text = u"untouched";
        EXPECT_FALSE(Utf16FileText(bytes, text)) << bytes.size() << " bytes";
        EXPECT_EQ(text, u"untouched");
    }
}

TEST(BackupFileText, LinesEndAtLineFeedsOnly)
{
    using Lines = std::vector<std::u16string_view>;
    EXPECT_EQ(TextLines(u"a\r\nb\nc"), (Lines{u"a", u"b", u"c"}));
    EXPECT_EQ(TextLines(u"a\r\n\r\n"), (Lines{u"a", u""})) << "a final line end starts no line";
    EXPECT_EQ(TextLines(u""), Lines{});
    // A carriage return alone stays in its line, for the check to see.
    EXPECT_EQ(TextLines(u"a\rb\r\r\n"), (Lines{u"a\rb\r"}));
}

}  // namespace
}  // namespace qob
