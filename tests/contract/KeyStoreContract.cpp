// One set of expectations for the platform parts the catalogue sits on. It
// runs natively against the in-memory implementations and under Wine against
// the Win32 ones; the in-memory ones are trusted only as far as it reaches.
#include "catalogue/Registry.h"
#include "catalogue/ServerPath.h"
#include "tests/contract/ContractPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace qob::contract {
namespace {

const std::string kBox = std::string("\\") + kSandbox;

class Contract : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform = MakeContractPlatform();
        platform->CreateKey(kSandbox);
        registry = std::make_unique<TRegistry>(platform->Store());
        registry->SetRootKey(kClassesRoot);
    }
    void TearDown() override
    {
        registry.reset();
        TRegistry cleaner(platform->Store());
        cleaner.SetRootKey(kClassesRoot);
        cleaner.DeleteKey(kBox);
    }

    std::string Sub(const std::string& rest) const { return std::string(kSandbox) + "\\" + rest; }
    std::vector<std::string> List(const std::string& path)
    {
        std::vector<std::string> names;
        if (registry->OpenKey(path))
            registry->GetKeyNames(names);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::unique_ptr<ContractPlatform> platform;
    std::unique_ptr<TRegistry> registry;
};

TEST_F(Contract, PathsAbsoluteRelativeAndFailedOpenKeepsCurrentKey)
{
    platform->SetValue(Sub("A"), kRegSz, std::string("value of A\0", 11));
    platform->SetValue(Sub("A\\Inner"), kRegSz, std::string("inner\0", 6));
    platform->SetValue(Sub("Inner"), kRegSz, std::string("sandbox inner\0", 14));

    // With nothing current, a relative path is taken below the root.
    EXPECT_TRUE(registry->OpenKey(std::string(kSandbox) + "\\A"));
    EXPECT_EQ(registry->ReadString(""), "value of A");
    // Relative to the current key.
    EXPECT_TRUE(registry->OpenKey("Inner"));
    EXPECT_EQ(registry->ReadString(""), "inner");
    // Absolute, whatever is current.
    EXPECT_TRUE(registry->OpenKey(kBox + "\\Inner"));
    EXPECT_EQ(registry->ReadString(""), "sandbox inner");
    // A failed open changes nothing: the read still sees the previous key.
    EXPECT_TRUE(registry->OpenKey(kBox + "\\A"));
    EXPECT_FALSE(registry->OpenKey(kBox + "\\Missing"));
    EXPECT_FALSE(registry->OpenKey("Missing\\Deeper"));
    EXPECT_EQ(registry->ReadString(""), "value of A");
    // Trailing and doubled backslashes collapse.
    EXPECT_TRUE(registry->OpenKey(kBox + "\\A\\"));
    EXPECT_TRUE(registry->OpenKey(kBox + "\\\\A\\\\Inner"));
    EXPECT_EQ(registry->ReadString(""), "inner");
}

TEST_F(Contract, RootKeyOpensAndListsItsSubkeys)
{
    ASSERT_TRUE(registry->OpenKey("\\"));
    std::vector<std::string> names;
    registry->GetKeyNames(names);
    EXPECT_NE(std::find(names.begin(), names.end(), kSandbox), names.end());
    registry->CloseKey();
    names.assign(3, "stale");
    registry->GetKeyNames(names);
    EXPECT_TRUE(names.empty()) << "listing with no key current leaves the list empty";
}

TEST_F(Contract, KeyNamesCompareWithoutCase)
{
    platform->SetValue(Sub("MixedCase"), kRegSz, std::string("m\0", 2));
    EXPECT_TRUE(registry->OpenKey(kBox + "\\mixedcase"));
    EXPECT_TRUE(registry->OpenKey("\\QOBCONTRACTSANDBOX\\MIXEDCASE"));
    EXPECT_EQ(registry->ReadString(""), "m");
    EXPECT_EQ(List(kBox), std::vector<std::string>{"MixedCase"});
}

TEST_F(Contract, DefaultValuesOfEveryKind)
{
    platform->CreateKey(Sub("Absent"));
    platform->SetValue(Sub("Empty"), kRegSz, std::string("\0", 1));
    platform->SetValue(Sub("EmbeddedZero"), kRegSz, std::string("before\0after\0", 13));
    platform->SetValue(Sub("Expand"), kRegExpandSz, std::string("%SystemRoot%\\x.dll\0", 19));
    platform->SetValue(Sub("Japanese"), kRegSz, std::string("表示名") + '\0');
    platform->SetValue(Sub("Dword"), kRegDword, std::string("\x01\x00\x00\x00", 4));
    platform->SetValue(Sub("Binary"), kRegBinary, std::string("\x01\x02", 2));
    platform->SetValue(Sub("EmptyBinary"), kRegBinary, std::string());
    const std::string longText = std::string(1000, 'L') + std::string(300, 'x');
    std::string longJapanese;
    for (int i = 0; i < 300; ++i)
        longJapanese += "表";
    platform->SetValue(Sub("Long"), kRegSz, longText + '\0');
    platform->SetValue(Sub("LongJapanese"), kRegSz, longJapanese + '\0');
    platform->SetValue(Sub("LongDword"), kRegBinary, std::string(600, '\x01'));

    const auto read = [&](const char* key) {
        EXPECT_TRUE(registry->OpenKey(kBox + "\\" + key)) << key;
        return registry->ReadString("");
    };
    EXPECT_EQ(read("Absent"), "");
    EXPECT_EQ(read("Empty"), "");
    EXPECT_EQ(read("EmbeddedZero"), "before");
    EXPECT_EQ(read("Expand"), "%SystemRoot%\\x.dll") << "expandable strings stay unexpanded";
    EXPECT_EQ(read("Japanese"), "表示名");
    EXPECT_EQ(read("EmptyBinary"), "") << "a size of 0 reads as empty, whatever the type";
    EXPECT_EQ(read("Long"), longText);
    EXPECT_EQ(read("LongJapanese"), longJapanese);
    for (const char* key : {"Dword", "Binary", "LongDword"}) {
        try {
            read(key);
            ADD_FAILURE() << key << " read as text";
        } catch (const ERegistryException& e) {
            EXPECT_STREQ(e.what(), "'' のﾃﾞｰﾀ型が不正です");
        }
    }
}

TEST_F(Contract, ListingJapaneseAndLongNamesInFull)
{
    const std::string longJapanese = [] {
        std::string name;
        for (int i = 0; i < 255; ++i)
            name += "表";
        return name;
    }();
    const std::string longAscii(255, 'n');
    for (const std::string& name : {std::string("表示"), std::string("ｶﾀｶﾅ"), longJapanese, longAscii})
        platform->CreateKey(Sub(name));
    std::vector<std::string> expected{"表示", "ｶﾀｶﾅ", longJapanese, longAscii};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(List(kBox), expected);
    // Names listed open again.
    EXPECT_TRUE(registry->OpenKey(kBox + "\\表示"));
    EXPECT_TRUE(registry->OpenKey(kBox));
    EXPECT_TRUE(registry->OpenKey(longJapanese));
    // A path of more than 260 characters opens too: the W functions take
    // paths of any length.
    EXPECT_TRUE(registry->OpenKey(kBox + "\\" + longJapanese));
    EXPECT_TRUE(registry->OpenKey(kBox + "\\" + longAscii));
    KeyHandle key = kNoKey;
    ASSERT_EQ(platform->Store().OpenKey(kClassesRoot, std::string(kSandbox) + "\\" + longAscii, kKeyRead, key),
              kErrorSuccess);
    platform->Store().CloseKey(key);
    EXPECT_EQ(platform->Store().DeleteKey(kClassesRoot, std::string(kSandbox) + "\\" + longAscii, 0), kErrorSuccess);
}

// Names outside every code page (ü is not in 932, 表 not in 1252, 😀 in
// none, and beyond U+FFFF): a key so named lists, opens again by the name
// listed, gives back its values and goes with its parent.
TEST_F(Contract, NamesOutsideEveryCodePageListOpenReadAndDelete)
{
    const std::vector<std::string> names{"Jürgen", "表示", "€", "x😀y", "Jürgen 表 € 😀"};
    for (const std::string& name : names) {
        platform->SetValue(Sub("Names\\" + name + "\\Inner"), kRegSz, "value of " + name + '\0');
        platform->SetNamedValue(Sub("Names\\" + name), u"名前 ü € 😀", kRegSz,
                                std::string("\xAC\x20\x00\x00", 4));  // "€"
    }
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    const std::vector<std::string> listed = List(kBox + "\\Names");
    ASSERT_EQ(listed, expected);
    for (const std::string& name : listed) {
        ASSERT_TRUE(registry->OpenKey(kBox + "\\Names\\" + name)) << name;
        EXPECT_EQ(registry->ReadString("名前 ü € 😀"), "€") << name;
        ASSERT_TRUE(registry->OpenKey("Inner")) << name;
        EXPECT_EQ(registry->ReadString(""), "value of " + name);
    }
    registry->CloseKey();
    EXPECT_TRUE(registry->DeleteKey(kBox + "\\Names"));
    EXPECT_FALSE(platform->KeyExists(Sub("Names")));
}

TEST_F(Contract, DeletionRemovesTheSubtreeAndKeepsTheCurrentKey)
{
    platform->SetValue(Sub("Keep"), kRegSz, std::string("kept\0", 5));
    for (const char* path : {"Tree\\A\\A1\\A11", "Tree\\A\\A2", "Tree\\B", "Tree\\表\\C"})
        platform->CreateKey(Sub(path));
    ASSERT_TRUE(registry->OpenKey(kBox + "\\Keep"));

    EXPECT_TRUE(registry->DeleteKey(kBox + "\\Tree"));
    EXPECT_FALSE(platform->KeyExists(Sub("Tree")));
    EXPECT_TRUE(platform->KeyExists(Sub("Keep")));
    EXPECT_EQ(registry->ReadString(""), "kept") << "the current key stays";
    EXPECT_FALSE(registry->DeleteKey(kBox + "\\Tree")) << "a missing key gives false";

    // A relative path is taken below the current key.
    platform->CreateKey(Sub("Keep\\Child\\Grandchild"));
    EXPECT_TRUE(registry->DeleteKey("Child"));
    EXPECT_FALSE(platform->KeyExists(Sub("Keep\\Child")));
}

TEST_F(Contract, RawStoreOperations)
{
    KeyStore& store = platform->Store();
    platform->CreateKey(Sub("Parent\\Child"));
    platform->CreateKey(Sub("表示"));

    KeyHandle root = kNoKey;
    EXPECT_EQ(store.OpenKey(kClassesRoot, "", kKeyRead, root), kErrorSuccess) << "an empty path gives the base key";
    store.CloseKey(root);

    KeyHandle box = kNoKey;
    ASSERT_EQ(store.OpenKey(kClassesRoot, kSandbox, kKeyRead, box), kErrorSuccess);
    std::uint32_t count = 0;
    ASSERT_EQ(store.QueryInfoKey(box, count), kErrorSuccess);
    EXPECT_EQ(count, 2u);

    std::vector<std::string> names(2);
    for (std::uint32_t i = 0; i < 2; ++i)
        ASSERT_EQ(store.EnumKey(box, i, names[i]), kErrorSuccess);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Parent", "表示"}));
    std::string name = "stale";
    EXPECT_EQ(store.EnumKey(box, 2, name), kErrorNoMoreItems);

    // Values whole: strings as UTF-8 with their terminator, other types as stored.
    std::uint32_t type = 99;
    std::string data = "stale";
    EXPECT_EQ(store.QueryValue(box, "", type, data), kErrorFileNotFound);
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(data, "");
    const std::string longText(3000, 'x');
    platform->SetValue(Sub("表示"), kRegSz, longText + "表 😀" + '\0');
    platform->SetValue(Sub("Parent"), kRegDword, std::string("\x01\x00\x00\x00", 4));
    KeyHandle key = kNoKey;
    ASSERT_EQ(store.OpenKey(box, "表示", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(store.QueryValue(key, "", type, data), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, longText + "表 😀" + '\0');
    store.CloseKey(key);
    ASSERT_EQ(store.OpenKey(box, "Parent", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(store.QueryValue(key, "", type, data), kErrorSuccess);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, std::string("\x01\x00\x00\x00", 4));
    store.CloseKey(key);

    // A value goes through a handle opened to set values, and only that one.
    ASSERT_EQ(store.OpenKey(box, "表示", kKeyRead, key), kErrorSuccess);
    EXPECT_EQ(store.DeleteValue(key, ""), kErrorAccessDenied) << "a handle opened for reading deletes nothing";
    store.CloseKey(key);
    platform->SetNamedValue(Sub("表示"), u"Kept", kRegSz, std::string("k\0\0\0", 4));
    ASSERT_EQ(store.OpenKey(box, "表示", kKeyRead | kKeySetValue, key), kErrorSuccess);
    EXPECT_EQ(store.DeleteValue(key, ""), kErrorSuccess);
    EXPECT_EQ(store.DeleteValue(key, ""), kErrorFileNotFound);
    EXPECT_EQ(store.QueryValue(key, "", type, data), kErrorFileNotFound);
    EXPECT_EQ(store.QueryValue(key, "kept", type, data), kErrorSuccess) << "the other values stay";
    store.CloseKey(key);

    EXPECT_EQ(store.DeleteKey(box, "Parent", 0), kErrorAccessDenied) << "a key with subkeys stays";
    EXPECT_EQ(store.DeleteKey(box, "Missing", 0), kErrorFileNotFound);
    EXPECT_EQ(store.DeleteKey(kClassesRoot, std::string("\\") + kSandbox + "\\Parent\\Child", 0), kErrorBadPathname);
    EXPECT_EQ(store.DeleteKey(box, "Parent\\Child\\", 0), kErrorSuccess);
    EXPECT_EQ(store.DeleteKey(box, "parent", 0), kErrorSuccess);
    store.CloseKey(box);
}

TEST_F(Contract, ThirtyTwoBitViewKeepsItsOwnClassKeys)
{
    const std::string id = "{0bc0c0de-0000-0000-0000-000000000032}";
    platform->CreateClassKey32(id);
    platform->CreateKey("TypeLib\\{0bc0c0de-1111-0000-0000-000000000000}");
    KeyStore& store = platform->Store();
    KeyHandle key = kNoKey;
    EXPECT_EQ(store.OpenKey(kClassesRoot, "CLSID\\" + id, kKeyRead, key), kErrorFileNotFound);
    ASSERT_EQ(store.OpenKey(kClassesRoot, "CLSID\\" + id, kKeyRead | kKeyWow64_32Key, key), kErrorSuccess);
    store.CloseKey(key);
    // Type libraries are shared by both views.
    ASSERT_EQ(store.OpenKey(kClassesRoot, "TypeLib\\{0bc0c0de-1111-0000-0000-000000000000}",
                            kKeyRead | kKeyWow64_32Key, key),
              kErrorSuccess);
    store.CloseKey(key);
    TRegistry cleaner(store);
    cleaner.SetRootKey(kClassesRoot);
    cleaner.DeleteKey("\\TypeLib\\{0bc0c0de-1111-0000-0000-000000000000}");
}

TEST_F(Contract, ClassKeyOfThe32BitViewIsDeletedThereOnly)
{
    const std::string id = "{0bc0c0de-0000-0000-0000-000000000032}";
    platform->CreateClassKey32(id + "\\InprocServer32");
    platform->CreateClassKey32(id + "\\TypeLib");
    TRegistry native(platform->Store());
    native.SetRootKey(kClassesRoot);
    EXPECT_FALSE(native.DeleteKey("CLSID\\" + id));
    EXPECT_EQ(native.LastError(), kErrorFileNotFound);
    EXPECT_TRUE(platform->KeyExists("Wow6432Node\\CLSID\\" + id + "\\TypeLib")) << "nothing deleted";

    TRegistry wow(platform->Store());
    wow.SetRootKey(kClassesRoot);
    wow.SetViewFlags(kKeyWow64_32Key);
    EXPECT_TRUE(wow.DeleteKey("CLSID\\" + id));
    EXPECT_FALSE(platform->KeyExists("Wow6432Node\\CLSID\\" + id)) << "the key went with its subkeys";
    EXPECT_TRUE(platform->KeyExists("Wow6432Node\\CLSID"));
}

TEST_F(Contract, FileRemoval)
{
    const std::string dir = platform->SandboxDirectory();
    platform->MakeFile(dir + "gone.dll", 2020, 6, 1);
    platform->MakeFile(dir + "locked.dll", 2020, 6, 1);
    platform->MakeReadOnly(dir + "locked.dll");
    platform->MakeDirectory(dir + "folder.dll");
    FileSystem& files = platform->Files();
    EXPECT_EQ(files.RemoveFile(dir + "gone.dll"), 0);
    EXPECT_FALSE(files.FindFirst(dir + "gone.dll").found);
    EXPECT_EQ(files.RemoveFile(dir + "gone.dll"), kErrorFileNotFound);
    EXPECT_EQ(files.RemoveFile(dir + "locked.dll"), kErrorAccessDenied) << "a read-only file stays";
    EXPECT_TRUE(files.FindFirst(dir + "locked.dll").found);
    EXPECT_EQ(files.RemoveFile(dir + "folder.dll"), kErrorAccessDenied);

    // A path outside every code page.
    const std::string folder = dir + "Jürgen 表 € 😀";
    platform->MakeDirectory(folder);
    platform->MakeFile(folder + "\\😀 server.dll", 2020, 6, 1);
    const auto found = files.FindFirst(folder + "\\😀 server.dll").found;
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "😀 server.dll");
    EXPECT_EQ(files.RemoveFile(folder + "\\😀 server.dll"), 0);
    EXPECT_FALSE(files.FindFirst(folder + "\\😀 server.dll").found);
}

// The backup reads a key whole: every subkey, names outside the code page,
// every value's type and bytes as stored; the location it reports names the
// keys as stored, in the view they were read from.
TEST_F(Contract, KeyTreesReadWholeAndAsStored)
{
    const auto utf16 = [](std::u16string text) {
        std::string bytes;
        for (char16_t c : text)
            bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        return bytes;
    };
    const std::vector<SavedValue> values{
        {u"", kRegSz, utf16(std::u16string(u"表示\0", 3))},
        {u"quote\"back\\slash", kRegSz, utf16(std::u16string(u"a\0b\0", 4))},
        {u"x\uD55Cy\U0001F600", kRegSz, std::string("A", 1)},  // odd size, no terminator
        {u"expand", kRegExpandSz, utf16(std::u16string(u"%SystemRoot%\0", 13))},
        {u"multi", 7, utf16(std::u16string(u"a\0b\0\0", 5))},
        {u"dword", kRegDword, std::string("\xEF\xBE\xAD\xDE", 4)},
        {u"qword", 11, std::string("\1\2\3\4\5\6\7\x08", 8)},
        {u"binary", kRegBinary, std::string()},
        {u"none", 0, std::string("\0", 1)},
        {u"unknown", 0x12345678, std::string("\5", 1)},
    };
    platform->SetValue(Sub("Tree"), kRegSz, std::string("表示") + '\0');
    for (const SavedValue& value : values)
        if (!value.name.empty())
            platform->SetNamedValue(Sub("Tree"), value.name, value.type, value.data);
    platform->CreateKey(Sub("Tree\\Empty\\Deeper"));
    platform->CreateKey(Sub("Tree\\x한y"));

    KeyTree tree;
    ASSERT_EQ(platform->Trees().Read("qobcontractsandbox\\TREE", RegistryView::Native, tree), kErrorSuccess);
    EXPECT_EQ(tree.location, u"HKEY_LOCAL_MACHINE\\Software\\Classes\\QobContractSandbox\\Tree");
    std::map<std::u16string, std::map<std::u16string, std::pair<std::uint32_t, std::string>>> keys;
    for (const SavedKey& key : tree.keys) {
        auto& named = keys[key.path];
        for (const SavedValue& value : key.values)
            named[value.name] = {value.type, value.data};
    }
    ASSERT_EQ(tree.keys.size(), 4u);
    EXPECT_EQ(tree.keys[0].path, u"") << "the top key comes first";
    EXPECT_EQ(keys.count(u"\\Empty"), 1u);
    EXPECT_EQ(keys.count(u"\\Empty\\Deeper"), 1u);
    const std::u16string outside = u"\\x\uD55Cy";
    EXPECT_EQ(keys.count(outside), 1u);
    ASSERT_EQ(keys[u""].size(), values.size());
    for (const SavedValue& value : values)
        EXPECT_EQ(keys[u""][value.name], std::make_pair(value.type, value.data)) << value.type;

    EXPECT_EQ(platform->Trees().Read(Sub("Missing"), RegistryView::Native, tree), kErrorFileNotFound);
    ASSERT_EQ(platform->Trees().Read(Sub("Tree\\x한y"), RegistryView::Native, tree), kErrorSuccess);
    EXPECT_EQ(tree.location, u"HKEY_LOCAL_MACHINE\\Software\\Classes\\QobContractSandbox\\Tree\\x\uD55Cy");

    // A class key of the 32-bit view is read there and located below Wow6432Node.
    const std::string id = "{0bc0c0de-0000-0000-0000-000000000032}";
    platform->CreateClassKey32(id);
    EXPECT_EQ(platform->Trees().Read("CLSID\\" + id, RegistryView::Native, tree), kErrorFileNotFound);
    ASSERT_EQ(platform->Trees().Read("CLSID\\" + id, RegistryView::Wow64_32, tree), kErrorSuccess);
    EXPECT_EQ(tree.location,
              u"HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\{0bc0c0de-0000-0000-0000-000000000032}");
}

TEST_F(Contract, NameOrderIgnoresCase)
{
    const NameOrder& order = platform->Order();
    EXPECT_EQ(order.Compare("Word.Document", "word.document"), 0);
    // Each pair in order, whichever way round it is asked: letters and
    // digits before kanji, hiragana before kanji, kanji by code point.
    const std::pair<const char*, const char*> ordered[] = {
        {"abc", "ABD"}, {"a1", "a2"},   {"Short", "Shorter"}, {"1abc", "abc"},   {"Zeta", "表示"},
        {"1", "表"},    {"表", "表示"}, {"あ", "表"},         {"漢字", "表示"}, {"Qob.Jürgen", "Qob.表"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_LT(order.Compare(first, second), 0) << first << " / " << second;
        EXPECT_GT(order.Compare(second, first), 0) << second << " / " << first;
    }
}

TEST_F(Contract, FileSearchAndExpansion)
{
    const std::string dir = platform->SandboxDirectory();
    platform->MakeFile(dir + "server.dll", 2020, 6, 1);
    platform->MakeDirectory(dir + "folder.dll");
    const FileSystem& files = platform->Files();

    auto found = files.FindFirst(dir + "server.dll").found;
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->isDirectory);
    EXPECT_TRUE(files.FindFirst(dir + "SERVER.DLL").found) << "file names ignore case";
    EXPECT_TRUE(files.FindFirst(dir + "server.dll ").found) << "a trailing space is ignored";
    EXPECT_TRUE(files.FindFirst(dir + "serv*.dll").found) << "* matches as a pattern";
    // What a search that finds nothing says: these codes mean "missing";
    // any other would leave the file unexamined.
    const std::pair<std::string, long> failures[] = {
        {dir + "missing.dll", kErrorFileNotFound},
        {dir + "no folder\\server.dll", kErrorPathNotFound},
        {dir + "server.dll\\inside.dll", kErrorInvalidName},  // a file read as a folder
        {"\"" + dir + "server.dll\"", kErrorInvalidName},
        {"\"" + dir + "server.dll\" /automation", kErrorInvalidName},
    };
    for (const auto& [path, error] : failures) {
        const FileSearch search = files.FindFirst(path);
        EXPECT_FALSE(search.found) << path;
        EXPECT_EQ(search.error, error) << path;
    }
    auto folder = files.FindFirst(dir + "folder.dll").found;
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->isDirectory);

    platform->SetVariable("QOBCONTRACTVAR", "C:\\qob dir");
    EXPECT_EQ(files.ExpandEnvironment("%QOBCONTRACTVAR%\\x.dll"), "C:\\qob dir\\x.dll");
    EXPECT_EQ(files.ExpandEnvironment("%qobcontractvar%\\x.dll"), "C:\\qob dir\\x.dll");
    EXPECT_EQ(files.ExpandEnvironment("%QOBCONTRACTVAR%\\表示\\表計算.dll"), "C:\\qob dir\\表示\\表計算.dll");
    EXPECT_EQ(files.ExpandEnvironment("C:\\表示\\表計算.dll"), "C:\\表示\\表計算.dll");
    EXPECT_EQ(files.ExpandEnvironment("%QOBUNDEFINEDVAR%\\x.dll"), "%QOBUNDEFINEDVAR%\\x.dll");
    // An undefined reference is kept whole, up to its closing %.
    EXPECT_EQ(files.ExpandEnvironment("100% sure %QOBCONTRACTVAR%"), "100% sure %QOBCONTRACTVAR%");
    EXPECT_EQ(files.ExpandEnvironment("50% %QOBCONTRACTVAR%"), "50% %QOBCONTRACTVAR%");
    EXPECT_EQ(files.ExpandEnvironment("50%% %QOBCONTRACTVAR%"), "50%% C:\\qob dir");
    EXPECT_EQ(files.ExpandEnvironment("%SystemRoot%\\system32"), files.WindowsDirectory() + "\\system32");
    platform->SetVariable("QOBCONTRACTHOME", "C:\\users\\Jürgen € 😀");
    EXPECT_EQ(files.ExpandEnvironment("%QOBCONTRACTHOME%\\表.dll"), "C:\\users\\Jürgen € 😀\\表.dll");
    EXPECT_EQ(files.ExpandEnvironment(""), "");
}

struct ServerPathCase {
    std::string path;
    bool present;
    RegistryView view = RegistryView::Native;
};

// Server paths in the forms real registries use, each with a file that
// exists and one that does not: `d` is the sandbox folder with the files the
// test makes, `wow` a file in the 32-bit system folder.
std::vector<ServerPathCase> ServerPathCases(const std::string& d, const std::string& wow)
{
    return {
        // Quoted, with or without arguments: the quoted part names the file.
        {"\"" + d + "app.exe\" /automation", true},
        {"\"" + d + "app.exe\" -Embedding", true},
        {"\"" + d + "app.exe\"", true},
        {"\"" + d + "missing.exe\" /automation", false},
        {"\"" + d + "missing.exe\"", false},
        // Unquoted, followed by switches.
        {d + "app.exe /automation", true},
        {d + "app.exe -Embedding", true},
        {d + "app.exe & more", true},
        {d + "missing.exe /automation", false},
        {d + "app.exe/automation", false},
        // Environment-variable references.
        {"%QOBSANDBOX%\\app.exe", true},
        {"%qobsandbox%\\app.exe /automation", true},
        {"\"%QOBSANDBOX%\\app.exe\" /automation", true},
        {"%QOBSANDBOX%\\missing.exe", false},
        {"%QOBUNDEFINED%\\app.exe", false},
        // Folder names holding " -", " &" (and the switch cuts after them).
        {d + "Foo - Bar\\foo.dll", true},
        {d + "Foo - Bar\\foo.dll /s", true},
        {d + "A & B\\amp.dll", true},
        {d + "A -B &C\\both.dll -x /y", true},
        {d + "Foo - Bar\\missing.dll", false},
        {d + "A & B\\missing.dll /s", false},
        // Last written before 1980: the file is there.
        {d + "old.dll", true},
        {d + "older.dll", false},
        // A path names one file or none: no patterns.
        {d + "ghost.dll", true},
        {d + "gho?t.dll", false},
        {d + "*.dll", false},
        // Directories are no servers.
        {d + "folder.dll", false},
        // Bare file names and the empty text count as present.
        {"ole32.dll", true},
        {"", true},
        {"\"\"", true},
        {"表.dll", true},
        {"missing.exe /automation", true},
        {d + "表示\\表.dll", true},
        {d + "表示\\無い.dll", false},
        {d + "Jürgen\\€ 😀\\server.dll", true},
        {"\"" + d + "Jürgen\\€ 😀\\server.dll\" /s", true},
        {d + "Jürgen\\€ 😀\\missing.dll", false},
        // A class of the 32-bit view: its system32 is SysWOW64.
        {"%SystemRoot%\\system32\\" + wow, true, RegistryView::Wow64_32},
        {"%SystemRoot%\\System32\\" + wow + " /s", true, RegistryView::Wow64_32},
        {"%SystemRoot%\\system32\\" + wow, false, RegistryView::Native},
        {"%SystemRoot%\\system32\\missing-" + wow, false, RegistryView::Wow64_32},
    };
}

TEST_F(Contract, ServerPathVerdicts)
{
    const std::string d = platform->SandboxDirectory();
    const std::string wow = "qob-contract-wow.dll";
    for (const char* folder : {"表示", "Foo - Bar", "A & B", "A -B &C", "Jürgen", "Jürgen\\€ 😀"})
        platform->MakeDirectory(d + folder);
    for (const char* file : {"app.exe", "ghost.dll", "表示\\表.dll", "Foo - Bar\\foo.dll", "A & B\\amp.dll",
                             "A -B &C\\both.dll", "Jürgen\\€ 😀\\server.dll"})
        platform->MakeFile(d + file, 2020, 6, 1);
    platform->MakeFile(d + "old.dll", 1979, 6, 1);
    platform->MakeDirectory(d + "folder.dll");
    platform->MakeFile(platform->Files().WindowsDirectory() + "\\syswow64\\" + wow, 2020, 6, 1);
    platform->SetVariable("QOBSANDBOX", d.substr(0, d.size() - 1));

    ServerPathCheck check(platform->Files());
    for (const ServerPathCase& c : ServerPathCases(d, wow))
        EXPECT_EQ(check.ServerPathExists(c.path, c.view), c.present)
            << c.path << (c.view == RegistryView::Wow64_32 ? " (32-bit view)" : "");
}

}  // namespace
}  // namespace qob::contract
