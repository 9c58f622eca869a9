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
        std::optional<FoundFile> FindFirst(const std::string& path) const override
        {
            searched.push_back(path);
            if (path == "C:\\x.exe")
                return FoundFile{"x.exe", false};
            return std::nullopt;
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

}  // namespace
}  // namespace qob
