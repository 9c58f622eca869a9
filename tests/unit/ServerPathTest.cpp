#include "catalogue/ServerPath.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

TEST(NormaliseServerPath, QuotesThenCutsInOrder)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"C:\\a\\b.dll", "C:\\a\\b.dll"},
        {"\"C:\\a b\\c.exe\"", "C:\\a b\\c.exe"},
        {"\"", ""},
        {"\"\"", ""},
        {"\"C:\\a.exe", "\"C:\\a.exe"},
        {"C:\\a.exe /automation", "C:\\a.exe "},
        {"C:\\a.exe -Embedding", "C:\\a.exe "},
        {"C:\\a.exe & x", "C:\\a.exe "},
        {"C:\\a.exe/x", "C:\\a.exe/x"},
        {"\"C:\\a.exe\" /x", "\"C:\\a.exe\" "},
        {"C:\\x -y\\a.exe /z", "C:\\x "},
        {"C:\\p &q\\a.exe -z /w", "C:\\p "},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(NormaliseServerPath(input), expected) << input;
}

}  // namespace
}  // namespace qob
