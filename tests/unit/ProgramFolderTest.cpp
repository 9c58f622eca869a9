#include "extras/ProgramFolder.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qob {
namespace {

TEST(TutorialPagePath, BesideTheProgramFile)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"C:\\Tools\\prog.exe", "C:\\Tools\\tutor.htm"},
        {"prog.exe", "tutor.htm"},
        {"", "tutor.htm"},
        {"C:prog.exe", "C:tutor.htm"},
        {"C:", "C:tutor.htm"},
        {"C:\\", "C:\\tutor.htm"},
        {"C:\\表\\prog.exe", "C:\\表\\tutor.htm"},
        {"C:\\Tools\\表.exe", "C:\\Tools\\tutor.htm"},
        {"C:\\表示\\一覧表.exe", "C:\\表示\\tutor.htm"},
        {"\\\\server\\share\\prog.exe", "\\\\server\\share\\tutor.htm"},
        {"C:\\Users\\Jürgen\\€ 😀\\prog.exe", "C:\\Users\\Jürgen\\€ 😀\\tutor.htm"},
    };
    for (const auto& [program, page] : cases)
        EXPECT_EQ(TutorialPagePath(program), page) << program;
}

}  // namespace
}  // namespace qob
