// This file is compiled with the Shift-JIS execution character set while the
// table is UTF-8: its non-ASCII expectations are written as bytes.
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace qob {
namespace {

constexpr int kTextCount = static_cast<int>(TextId::Count);

TextId IdAt(int index) { return static_cast<TextId>(index); }

// The numbers of the placeholders a text uses; "%%" is a percent sign.
std::set<int> Placeholders(std::string_view text)
{
    std::set<int> numbers;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (text[i + 1] >= '1' && text[i + 1] <= '9')
            numbers.insert(text[i + 1] - '0');
        ++i;
    }
    return numbers;
}

// Whether a caption marks an access key ("&&" is a plain ampersand).
bool HasAccessKey(std::string_view text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return true;
        ++i;
    }
    return false;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80          ? 1
                                   : (lead >> 5) == 0x06 ? 2
                                   : (lead >> 4) == 0x0E ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::size_t LineBreaks(std::string_view text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
}

TEST(TextTable, EveryTextHasBothLanguagesWithTheSamePlaceholdersAndLines)
{
    for (int i = 0; i < kTextCount; ++i) {
        const std::string_view ja = TextIn(Language::Japanese, IdAt(i));
        const std::string_view en = TextIn(Language::English, IdAt(i));
        SCOPED_TRACE("TextId " + std::to_string(i) + ": " + std::string(en));
        EXPECT_FALSE(ja.empty());
        EXPECT_FALSE(en.empty());
        const std::set<int> used = Placeholders(ja);
        EXPECT_EQ(Placeholders(en), used);
        // Numbered from %1 without a gap, so that every value given is shown.
        EXPECT_TRUE(used.empty() || (*used.begin() == 1 && *used.rbegin() == static_cast<int>(used.size())));
        EXPECT_EQ(LineBreaks(en), LineBreaks(ja));
        EXPECT_EQ(ja.find('\n'), std::string_view::npos);
        EXPECT_EQ(en.find('\n'), std::string_view::npos);
        EXPECT_TRUE(!HasAccessKey(ja) || HasAccessKey(en));
    }
}

TEST(TextTable, TextsAreUtf8AndEnglishIsPlainAscii)
{
    for (int i = 0; i < kTextCount; ++i) {
        const std::string_view en = TextIn(Language::English, IdAt(i));
        SCOPED_TRACE("TextId " + std::to_string(i) + ": " + std::string(en));
        EXPECT_TRUE(IsUtf8(TextIn(Language::Japanese, IdAt(i))));
        // No full-width punctuation carried over from the Japanese.
        EXPECT_TRUE(IsAscii(en));
    }
    // Half-width katakana stay half-width: U+FF77 U+FF6C U+FF9D U+FF7E U+FF99.
    EXPECT_EQ(TextIn(Language::Japanese, TextId::ButtonCancel),
              "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99");
    // A line break of a removal question is a carriage return alone.
    EXPECT_EQ(TextIn(Language::English, TextId::RemovalConfirmDeleteKey), "HKEY_CLASSES_ROOT\\%1\rDelete this key?");
}

TEST(TextTable, AnIdOutsideTheTableHasNoText)
{
    EXPECT_TRUE(TextIn(Language::Japanese, TextId::Count).empty());
    EXPECT_TRUE(TextIn(Language::English, static_cast<TextId>(-1)).empty());
}

TEST(FillPlaceholders, ReplacesNumberedPlaceholdersByTheirValues)
{
    EXPECT_EQ(FillPlaceholders("Delete %1?", {"x.dll"}), "Delete x.dll?");
    EXPECT_EQ(FillPlaceholders("%2 before %1", {"a", "b"}), "b before a");
    EXPECT_EQ(FillPlaceholders("%1 and %1", {"x"}), "x and x");
    EXPECT_EQ(FillPlaceholders("%1", {""}), "");
    EXPECT_EQ(FillPlaceholders("%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine");
    // %1 followed by a digit is %1 and the digit.
    EXPECT_EQ(FillPlaceholders("%10", {"a"}), "a0");
    EXPECT_EQ(FillPlaceholders("", {"a"}), "");
}

TEST(FillPlaceholders, DoublePercentIsOnePercentSign)
{
    EXPECT_EQ(FillPlaceholders("100%%", {}), "100%");
    EXPECT_EQ(FillPlaceholders("%%1", {"x"}), "%1");
    EXPECT_EQ(FillPlaceholders("%%%1", {"x"}), "%x");
    EXPECT_EQ(FillPlaceholders("%%%%", {}), "%%");
}

TEST(FillPlaceholders, LeavesWhatIsNoPlaceholderOrHasNoValueAsWritten)
{
    EXPECT_EQ(FillPlaceholders("%1 and %2", {"a"}), "a and %2");
    EXPECT_EQ(FillPlaceholders("%1", {}), "%1");
    EXPECT_EQ(FillPlaceholders("%0 %a %", {"x"}), "%0 %a %");
    EXPECT_EQ(FillPlaceholders("50% off", {"x"}), "50% off");
}

TEST(FillPlaceholders, InsertsValuesWithoutScanningThem)
{
    EXPECT_EQ(FillPlaceholders("%1/%2", {"%2", "b"}), "%2/b");
    EXPECT_EQ(FillPlaceholders("[%1]", {"%1%%"}), "[%1%%]");
    // Bytes of any encoding pass through, a NUL included.
    EXPECT_EQ(FillPlaceholders("%1", {std::string_view("\x95\x5C\0z", 4)}), std::string("\x95\x5C\0z", 4));
}

TEST(LanguageForUiLanguage, JapaneseOnlyForTheJapanesePrimaryLanguage)
{
    EXPECT_EQ(LanguageForUiLanguage(0x0411), Language::Japanese);  // Japanese (Japan)
    EXPECT_EQ(LanguageForUiLanguage(0x0011), Language::Japanese);  // Japanese, no sublanguage
    EXPECT_EQ(LanguageForUiLanguage(0x0409), Language::English);   // English (United States)
    EXPECT_EQ(LanguageForUiLanguage(0x0809), Language::English);   // English (United Kingdom)
    EXPECT_EQ(LanguageForUiLanguage(0x0407), Language::English);   // German
    EXPECT_EQ(LanguageForUiLanguage(0x0000), Language::English);   // neutral
    // The sublanguage (the upper six bits) does not count; the primary
    // language has ten bits, not eight.
    EXPECT_EQ(LanguageForUiLanguage(0x0C11), Language::Japanese);
    EXPECT_EQ(LanguageForUiLanguage(0x0111), Language::English);
}

TEST(SelectedLanguage, ChoosesTheTextsOfTheProcess)
{
    ASSERT_EQ(SelectedLanguage(), Language::Japanese);  // until a choice is made
    SelectLanguage(Language::English);
    EXPECT_EQ(Text(TextId::ButtonYes), "&Yes");
    EXPECT_EQ(Text(TextId::StatusBackupFolder, {"C:\\b"}), "Backup: C:\\b");
    SelectLanguage(Language::Japanese);
    EXPECT_EQ(Text(TextId::ButtonOk), "OK");
    EXPECT_EQ(Text(TextId::AboutVersion, {"1.0.0"}), "Version 1.0.0");
    EXPECT_EQ(Text(TextId::StatusBackupFolder, {"C:\\b"}),
              FillPlaceholders(TextIn(Language::Japanese, TextId::StatusBackupFolder), {"C:\\b"}));
}

}  // namespace
}  // namespace qob
