#include "catalogue/KeyStore.h"
#include "catalogue/ServerPath.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

using Candidates = std::vector<std::string>;

TEST(NormaliseServerPath, CandidatesInTheOrderTheyAreTried)
{
    const std::vector<std::pair<std::string, Candidates>> cases{
        {"C:\\a\\b.dll", {"C:\\a\\b.dll"}},
        {"\"C:\\a b\\c.exe\"", {"C:\\a b\\c.exe"}},
        {"\"C:\\a b\\c.exe\" /x \"y\"", {"C:\\a b\\c.exe"}},
        {"\"\"", {""}},
        {"\"", {"\""}},
        {"\"C:\\a.exe", {"\"C:\\a.exe"}},
        {"C:\\a.exe /automation", {"C:\\a.exe /automation", "C:\\a.exe"}},
        {"C:\\a.exe -Embedding", {"C:\\a.exe -Embedding", "C:\\a.exe"}},
        {"C:\\a.exe & x", {"C:\\a.exe & x", "C:\\a.exe"}},
        {"C:\\a.exe/x", {"C:\\a.exe/x"}},
        {"C:\\x -y\\a.exe /z", {"C:\\x -y\\a.exe /z", "C:\\x -y\\a.exe", "C:\\x"}},
        {"", {""}},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(NormaliseServerPath(input), expected) << input;
}

TEST(ServerPathCheck, BackslashIsACharacterNotAByte)
{
    EXPECT_FALSE(HasDirectoryPart("表.dll")) << "表 ended in byte 0x5C in code page 932";
    EXPECT_FALSE(HasDirectoryPart("Jürgen € 😀.dll"));
    EXPECT_TRUE(HasDirectoryPart("表\\a.dll"));
    EXPECT_TRUE(HasDirectoryPart("\\"));
    EXPECT_FALSE(HasDirectoryPart(""));
}

TEST(ServerPathCheck, SearchesOnlyWhatHasAFolderAndStopsAtTheFirstFind)
{
    // Counts the file searches.
    class CountingFiles final : public FileSystem {
    public:
        FileSearch FindFirst(const std::string& path) const override
        {
            searched.push_back(path);
            if (path == "C:\\x.exe")
                return {FoundFile{"x.exe", false}, 0};
            return {std::nullopt, kErrorFileNotFound};
        }
        std::string ExpandEnvironment(const std::string& text) const override { return text; }
        std::string WindowsDirectory() const override { return "C:\\windows"; }
        long RemoveFile(const std::string&) override { return 5; }
        mutable std::vector<std::string> searched;
    } files;
    ServerPathCheck check(files);
    EXPECT_TRUE(check.ServerPathExists("C:\\x.exe"));
    EXPECT_TRUE(check.ServerPathExists("bare.exe -x"));
    EXPECT_TRUE(check.ServerPathExists("C:\\x.exe -a /b"));
    EXPECT_FALSE(check.ServerPathExists("C:\\y.exe -a"));
    EXPECT_EQ(files.searched, (Candidates{"C:\\x.exe", "C:\\x.exe -a /b", "C:\\x.exe -a", "C:\\x.exe",
                                          "C:\\y.exe -a", "C:\\y.exe"}));
}

// Only the errors that say "no such file" make a server missing; a search
// that fails otherwise leaves it unexamined, counted present, and the
// look-up ends there: a later, shorter candidate is not tried.
TEST(ServerPathCheck, OnlyANoSuchFileErrorMeansMissing)
{
    const std::string cut = "C:\\Tools\\foo -bar.exe";  // runs as C:\Tools\foo when that is missing
    struct Case {
        long error;
        ServerFileState state;
    } cases[] = {
        {kErrorFileNotFound, ServerFileState::Present},  // then the cut is tried and found
        {kErrorPathNotFound, ServerFileState::Present},
        {kErrorInvalidName, ServerFileState::Present},
        {kErrorBadPathname, ServerFileState::Present},
        {kErrorAccessDenied, ServerFileState::Unexaminable},
        {32, ServerFileState::Unexaminable},  // a sharing violation
        {21, ServerFileState::Unexaminable},  // the drive is not ready
        {53, ServerFileState::Unexaminable},  // the network path is not found
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        files.AddFile("C:\\Tools\\foo");
        files.FailSearch(cut, c.error);
        const ServerFile server = ServerPathCheck(files).Resolve(cut, RegistryView::Native);
        EXPECT_EQ(server.state, c.state) << c.error;
        if (c.state == ServerFileState::Present) {
            EXPECT_EQ(server.file, "C:\\Tools\\foo") << c.error;
        } else {
            EXPECT_EQ(server.file, cut) << c.error;
            EXPECT_EQ(server.error, c.error);
        }
        EXPECT_TRUE(ServerPathCheck(files).ServerPathExists(cut)) << c.error;
    }

    // A folder that cannot be searched: nothing below it is missing.
    MemoryFileSystem files;
    files.FailSearch("\\\\server\\share", 53);
    const ServerPathCheck check(files);
    EXPECT_TRUE(check.ServerPathExists("\\\\server\\share\\gone.dll /s"));
    EXPECT_EQ(check.Resolve("\\\\server\\share\\gone.dll /s", RegistryView::Native).file,
              "\\\\server\\share\\gone.dll /s");
    EXPECT_FALSE(check.ServerPathExists("\\\\server\\other\\gone.dll"));
    EXPECT_EQ(check.Resolve("bare.dll", RegistryView::Native).state, ServerFileState::Present);
    EXPECT_EQ(check.Resolve("C:\\nowhere\\x.dll", RegistryView::Native).state, ServerFileState::Missing);
}

// A path is read as a process of the class's view reads it: a 32-bit
// process has the (x86) program folders as %ProgramFiles% and
// %CommonProgramFiles%, and a long-path prefix names the file after it.
TEST(ServerPathCheck, PathsAreReadAsTheProcessOfTheViewReadsThem)
{
    MemoryFileSystem files;
    files.SetVariable("ProgramFiles(x86)", "C:\\Program Files (x86)");
    files.SetVariable("ProgramW6432", "C:\\Program Files");
    files.SetVariable("CommonProgramFiles", "C:\\Program Files\\Common Files");
    files.SetVariable("CommonProgramFiles(x86)", "C:\\Program Files (x86)\\Common Files");
    files.SetVariable("CommonProgramW6432", "C:\\Program Files\\Common Files");
    files.SetVariable("Vendor", "C:\\Vendor\\");
    files.AddFile("C:\\Program Files (x86)\\Vendor\\x.dll");  // a 32-bit product only
    files.AddFile("C:\\Program Files\\Both\\b.dll");          // a product of each width
    files.AddFile("C:\\Program Files (x86)\\Both\\b.dll");
    files.AddFile("C:\\Program Files\\Common Files\\Both\\c.dll");
    files.AddFile("C:\\Program Files (x86)\\Common Files\\Both\\c.dll");
    files.AddFile("C:\\windows\\SysWOW64\\w.dll");
    files.AddFile("\\\\server\\share\\s.dll");
    files.AddFile("C:\\Vendor\\ProgramFiles%\\x.dll");
    const auto native = RegistryView::Native;
    const auto wow = RegistryView::Wow64_32;
    const struct Case {
        const char* path;
        RegistryView view;
        const char* file;  // the file found, or none: missing
    } cases[] = {
        {"%ProgramFiles%\\Vendor\\x.dll", wow, "C:\\Program Files (x86)\\Vendor\\x.dll"},
        {"%ProgramFiles%\\Vendor\\x.dll", native, nullptr},
        {"%ProgramFiles%\\Both\\b.dll", wow, "C:\\Program Files (x86)\\Both\\b.dll"},
        {"%ProgramFiles%\\Both\\b.dll", native, "C:\\Program Files\\Both\\b.dll"},
        {"%PROGRAMFILES%\\Both\\b.dll", wow, "C:\\Program Files (x86)\\Both\\b.dll"},
        {"%ProgramW6432%\\Both\\b.dll", wow, "C:\\Program Files\\Both\\b.dll"},
        {"%ProgramFiles(x86)%\\Vendor\\x.dll", native, "C:\\Program Files (x86)\\Vendor\\x.dll"},
        {"\"%commonprogramfiles%\\Both\\c.dll\" /s", wow, "C:\\Program Files (x86)\\Common Files\\Both\\c.dll"},
        {"%CommonProgramFiles%\\Both\\c.dll", native, "C:\\Program Files\\Common Files\\Both\\c.dll"},
        {"%CommonProgramW6432%\\Both\\c.dll", wow, "C:\\Program Files\\Common Files\\Both\\c.dll"},
        // Only a whole reference is renamed, found from % to % as the
        // expansion finds it.
        {"%Vendor%ProgramFiles%\\x.dll", wow, "C:\\Vendor\\ProgramFiles%\\x.dll"},
        {"%ProgramFilesX%\\Both\\b.dll", wow, nullptr},
        // Long paths, the prefix taken off before the view reads them.
        {"\\\\?\\C:\\Program Files\\Both\\b.dll", native, "C:\\Program Files\\Both\\b.dll"},
        {"\"\\\\?\\%ProgramFiles%\\Vendor\\x.dll\" -a", wow, "C:\\Program Files (x86)\\Vendor\\x.dll"},
        {"\\\\?\\c:\\windows\\system32\\w.dll", wow, "C:\\windows\\SysWOW64\\w.dll"},
        {"\\\\?\\UNC\\server\\share\\s.dll", native, "\\\\server\\share\\s.dll"},
        {"\\\\?\\unc\\server\\share\\s.dll /s", native, "\\\\server\\share\\s.dll"},
        // No full path after the prefix: kept, and no file has such a name.
        {"\\\\?\\C:Program Files\\Both\\b.dll", native, nullptr},
        {"\\\\?\\UNC\\", native, nullptr},
        {"\\\\?\\Volume{0}\\Both\\b.dll", native, nullptr},
    };
    const ServerPathCheck check(files);
    for (const Case& c : cases) {
        const ServerFile server = check.Resolve(c.path, c.view);
        EXPECT_EQ(server.state, c.file ? ServerFileState::Present : ServerFileState::Missing) << c.path;
        EXPECT_EQ(server.file, c.file ? c.file : "") << c.path;
    }

    // A system without the (x86) folders: the references read as written.
    MemoryFileSystem narrow;
    narrow.AddFile("C:\\Program Files\\Both\\b.dll");
    EXPECT_EQ(ServerPathCheck(narrow).Resolve("%ProgramFiles%\\Both\\b.dll", wow).file,
              "C:\\Program Files\\Both\\b.dll");
}

}  // namespace
}  // namespace qob
