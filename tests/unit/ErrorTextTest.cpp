#include "forms/ErrorText.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

TEST(ErrorReportText, FullStopOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(ErrorReportText("abc"), "abc.");
    EXPECT_EQ(ErrorReportText("ends."), "ends.");
    EXPECT_EQ(ErrorReportText("ends!"), "ends!");
    EXPECT_EQ(ErrorReportText("ends "), "ends ");
    EXPECT_EQ(ErrorReportText("ends-"), "ends-");
    EXPECT_EQ(ErrorReportText("v1"), "v1.");
    EXPECT_EQ(ErrorReportText("終わり。"), "終わり。.");
    EXPECT_EQ(ErrorReportText("ﾀｲﾏｰを取得できません"), "ﾀｲﾏｰを取得できません.");
    EXPECT_EQ(ErrorReportText("'' のﾃﾞｰﾀ型が不正です"), "'' のﾃﾞｰﾀ型が不正です.");
    EXPECT_EQ(ErrorReportText(""), "");
    // A last character of several bytes is taken whole.
    EXPECT_EQ(ErrorReportText("表"), "表.");
    EXPECT_EQ(ErrorReportText("x😀"), "x😀.");
}

}  // namespace
}  // namespace qob
