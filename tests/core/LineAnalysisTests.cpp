// The compact lists a LineAnalysis keeps its names and ranges in: they must hold any name
// (long ones, empty ones, ones with bytes a separator would use) and grow past their inline
// room without losing or mixing up anything.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "QuibSumCore/InlineVector.h"
#include "QuibSumCore/LineAnalysis.h"
#include "QuibSumCore/NameList.h"

using namespace quibsum;

TEST(NameList, HoldsNamesOfEveryLength) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {""},
        {"x"},
        {"tiền nhà", "giá bán", "x"},
        {std::string(127, 'a'), std::string(128, 'b'), std::string(16384, 'c'), "d"},  // 1-, 2- and 3-byte lengths
        {std::string("a\0b", 3), std::string(1, '\x80'), std::string(1, '\xFF')},
        {"", "", "a"},
    };
    for (const auto& names : cases) {
        NameList list;
        for (const std::string& n : names) list.push_back(n);
        EXPECT_EQ(list.size(), names.size());
        EXPECT_EQ(list.empty(), names.empty());
        EXPECT_EQ(list, names);
        std::vector<std::string> read(list.begin(), list.end());
        EXPECT_EQ(read, names);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(list[i], names[i]);
            EXPECT_TRUE(list.contains(names[i]));
        }
        NameList copy = list;
        EXPECT_EQ(copy, list);
    }
}

TEST(NameList, InsertKeepsASetInOrderOfFirstAdding) {
    NameList list;
    for (const char* n : {"b", "a", "b", "ab", "a", "", ""}) list.insert(n);
    EXPECT_EQ(list, (std::vector<std::string>{"b", "a", "ab", ""}));
    EXPECT_FALSE(list.contains("c"));
    EXPECT_FALSE(list.contains("ba"));
    EXPECT_NE(list, (std::vector<std::string>{"b", "a", "ab"}));
    EXPECT_NE(list, (std::vector<std::string>{"b", "a", "ab", "", "x"}));
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list, NameList{});
}

TEST(InlineVector, GrowsPastItsInlineRoomAndCopiesWhole) {
    for (int count : {0, 1, 2, 3, 5, 40}) {
        InlineVector<TextRange, 2> v;
        std::vector<TextRange> expected;
        for (int i = 0; i < count; ++i) {
            v.push_back(TextRange{i, i + 1});
            expected.push_back(TextRange{i, i + 1});
        }
        EXPECT_EQ(v, expected) << count;
        EXPECT_EQ(std::vector<TextRange>(v), expected);
        EXPECT_EQ(std::vector<TextRange>(std::span<const TextRange>(v).begin(), std::span<const TextRange>(v).end()),
                  expected);

        InlineVector<TextRange, 2> copy = v;
        EXPECT_EQ(copy, v);
        copy.push_back(TextRange{99, 1});  // the copy owns its elements
        EXPECT_EQ(v, expected);

        InlineVector<TextRange, 2> moved = std::move(copy);
        EXPECT_EQ(moved.size(), expected.size() + 1);
        EXPECT_EQ(moved.back(), (TextRange{99, 1}));

        InlineVector<TextRange, 2> assigned{{7, 7}, {8, 8}, {9, 9}};
        assigned = v;
        EXPECT_EQ(assigned, expected);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.size(), expected.size() + 1);
    }
}

TEST(LineAnalysis, EqualityCoversTheCompactLists) {
    LineAnalysis a, b;
    EXPECT_EQ(a, b);
    a.nameKeys.insert("x");
    EXPECT_NE(a, b);
    b.nameKeys.insert("x");
    EXPECT_EQ(a, b);
    a.variableRanges.push_back({0, 1});
    EXPECT_NE(a, b);
    b.variableRanges.push_back({0, 2});
    EXPECT_NE(a, b);
}
