#include "forms/CursorState.h"

#include <gtest/gtest.h>

namespace qob {
namespace {

TEST(CursorState, ModalWindowShowsDefaultAndPutsTheCursorBack)
{
    CursorState cursor;
    cursor.Set(crHourGlass);
    const auto mark = cursor.OpenModal();
    EXPECT_EQ(cursor.Value(), crDefault);
    cursor.CloseModal(mark);
    EXPECT_EQ(cursor.Value(), crHourGlass);
}

TEST(CursorState, SettingWhileModalLeavesTheDefault)
{
    CursorState cursor;
    cursor.Set(crHourGlass);
    auto mark = cursor.OpenModal();
    cursor.Set(crHourGlass);  // even the value already saved
    cursor.CloseModal(mark);
    EXPECT_EQ(cursor.Value(), crDefault);

    cursor.Set(crAppStart);
    mark = cursor.OpenModal();
    cursor.Set(crHourGlass);
    EXPECT_EQ(cursor.Value(), crHourGlass);  // shown while the modal window is open
    cursor.CloseModal(mark);
    EXPECT_EQ(cursor.Value(), crDefault);
}

TEST(CursorState, NestedModalWindowsAreNotTheProgramSettingTheCursor)
{
    CursorState cursor;
    cursor.Set(crAppStart);
    const auto outer = cursor.OpenModal();
    const auto inner = cursor.OpenModal();
    cursor.CloseModal(inner);
    EXPECT_EQ(cursor.Value(), crDefault);
    cursor.CloseModal(outer);
    EXPECT_EQ(cursor.Value(), crAppStart);

    // A setting under the inner one reaches the outer one too.
    const auto outer2 = cursor.OpenModal();
    const auto inner2 = cursor.OpenModal();
    cursor.Set(crHourGlass);
    cursor.CloseModal(inner2);
    cursor.CloseModal(outer2);
    EXPECT_EQ(cursor.Value(), crDefault);
}

}  // namespace
}  // namespace qob
