#include <gtest/gtest.h>

#include <stdexcept>

#include "keys/KeySetTable.h"

namespace {
TEST(KeySetTable, PositionalAccessPastTheEndThrowsWithTheStandardText) {
    KeySetTable table;
    try {
        table.At(0);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
    table.Append(KeySet{1});
    EXPECT_EQ(table.At(0).number, 1);
    EXPECT_THROW(table.At(1), std::out_of_range);
    const KeySetTable& constTable = table;
    EXPECT_THROW(constTable.At(5), std::out_of_range);
}

TEST(KeySetTable, FindByNumberGivesTheFirstInTableOrder) {
    KeySetTable table;
    KeySet a{4};
    a.ReplaceLink("first");
    KeySet b{4};
    b.ReplaceLink("second");
    table.Append(KeySet{1});
    table.Append(a);
    table.Append(b);
    ASSERT_NE(table.FindByNumber(4), nullptr);
    EXPECT_EQ(table.FindByNumber(4)->link, "first");
    EXPECT_EQ(table.FindByNumber(30), nullptr);
    table.Clear();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.FindByNumber(1), nullptr);
}

TEST(KeySet, ReplaceKeepsTheOtherFieldsAndEmptyMeansAbsent) {
    KeySet record{7, 112, "cap", "link"};
    record.ReplaceLink("new");
    EXPECT_EQ(record.number, 7);
    EXPECT_EQ(record.keycode, 112);
    EXPECT_EQ(record.caption, "cap");
    EXPECT_EQ(record.link, "new");
    record.ReplaceCaption(nullptr);
    EXPECT_FALSE(record.HasCaption());
    record.ReplaceLink("");
    EXPECT_FALSE(record.HasLink());
}
}  // namespace
