// RegexObject against the platform's "VBScript.RegExp".
#include <gtest/gtest.h>

#include <objbase.h>

#include <memory>
#include <thread>
#include <vector>

#include "text/regex_object.h"

namespace {

// One expected match: its whole text, then its groups from 1.
using MatchTexts = std::vector<Text>;

struct SearchCase {
    const char* name;
    Text pattern;
    Text subject;
    bool caseSensitive = false;
    bool multiline = true;
    bool global = true;
    bool replaceQuotePlaceholder = false;
    bool created = true;
    std::vector<MatchTexts> matches = {};
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

// Checks every match and group, and that the numbers just outside the
// ranges read as "".
void ExpectSearch(RegexObject& regex, const SearchCase& c) {
    const int count = static_cast<int>(c.matches.size());
    ASSERT_EQ(regex.MatchCount(), count);
    const int groups = count ? static_cast<int>(c.matches[0].size()) - 1 : 0;
    EXPECT_EQ(regex.SubMatchCount(), groups);
    for (int m = 1; m <= count; ++m) {
        SCOPED_TRACE(testing::Message() << "match " << m);
        const MatchTexts& expected = c.matches[m - 1];
        EXPECT_EQ(regex.MatchText(m), expected[0]);
        for (int g = 1; g <= groups; ++g) EXPECT_EQ(regex.SubMatchText(m, g), expected[g]) << "group " << g;
        EXPECT_EQ(regex.SubMatchText(m, groups + 1), "");
        EXPECT_EQ(regex.SubMatchText(m, 0), "");
    }
    EXPECT_EQ(regex.MatchText(0), "");
    EXPECT_EQ(regex.MatchText(count + 1), "");
    EXPECT_EQ(regex.SubMatchText(0, 1), "");
    EXPECT_EQ(regex.SubMatchText(count + 1, 1), "");
}

class RegexSearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(RegexSearchTest, MatchesAndGroups) {
    const SearchCase& c = GetParam();
    RegexObject regex;
    EXPECT_EQ(regex.Create(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global,
                           c.replaceQuotePlaceholder),
              c.created);
    ExpectSearch(regex, c);
}

const SearchCase kSearchCases[] = {
    {.name = "EmptySubject", .pattern = "(a)", .subject = ""},
    {.name = "NoMatch", .pattern = "x(\\d+)", .subject = "abc 123"},
    {.name = "IgnoresCaseByDefault",
     .pattern = "ab(c)",
     .subject = "xABC abc",
     .matches = {{"ABC", "C"}, {"abc", "c"}}},
    {.name = "CaseSensitive",
     .pattern = "ab(c)",
     .subject = "xABC abc",
     .caseSensitive = true,
     .matches = {{"abc", "c"}}},
    {.name = "GlobalOffGivesFirstOnly",
     .pattern = "<(\\w+)>",
     .subject = "<a><b>",
     .global = false,
     .matches = {{"<a>", "a"}}},
    {.name = "MultilineReachesTheEngine", .pattern = "^(b)", .subject = "a\nb", .multiline = false},
    {.name = "MultilineOn", .pattern = "^(b)", .subject = "a\nb", .matches = {{"b", "b"}}},
    {.name = "OptionalGroupThatTookNoPart",
     .pattern = "(a)(b)?(c)",
     .subject = "ac abc",
     .matches = {{"ac", "a", "", "c"}, {"abc", "a", "b", "c"}}},
    // Bytes would cut 中 (D6 D0) in two; characters keep it whole.
    {.name = "DoubleByteBeforeMatchComesBackWhole",
     .pattern = "(.)x(.*?)<",
     .subject = "书名中x张三<br>",
     .matches = {{"中x张三<", "中", "张三"}}},
    {.name = "LazyGroupNeverTakesLineFeed",
     .pattern = "<b>(.*?)</b>",
     .subject = "<b>one\n</b><b>two</b>",
     .matches = {{"<b>two</b>", "two"}}},
    {.name = "PlaceholderReplacedTwice",
     .pattern = "href=#引号(.*?)#引号",
     .subject = "href=\"a\" href=#引号b#引号",
     .replaceQuotePlaceholder = true,
     .matches = {{"href=\"a\"", "a"}}},
    {.name = "PlaceholderLiteralWhenOff",
     .pattern = "href=#引号(.*?)#引号",
     .subject = "href=\"a\" href=#引号b#引号",
     .matches = {{"href=#引号b#引号", "b"}}},
    {.name = "RejectedPattern", .pattern = "(a", .subject = "a", .created = false},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegexSearchTest, testing::ValuesIn(kSearchCases),
                         [](const testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

TEST(RegexObjectTest, SecondCreateDiscardsTheFirst) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("(\\d)", "1 2 3"));
    ASSERT_EQ(regex.MatchCount(), 3);

    EXPECT_FALSE(regex.Create("(\\d", "1 2 3"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
    EXPECT_EQ(regex.SubMatchCount(), 0);

    EXPECT_TRUE(regex.Create("([a-z])", "x1y"));
    EXPECT_EQ(regex.MatchCount(), 2);
    EXPECT_EQ(regex.SubMatchText(2, 1), "y");
}

TEST(RegexObjectTest, PatternTextIsThePatternSet) {
    RegexObject regex;
    EXPECT_EQ(regex.PatternText(), "");
    regex.Create("<a href=#引号(.*?)#引号>", "", false, false, true, true);
    EXPECT_EQ(regex.PatternText(), "<a href=\"(.*?)\">");
    regex.Create("作者：(.*?)<", "");
    EXPECT_EQ(regex.PatternText(), "作者：(.*?)<");
}

struct ReplaceCase {
    const char* name;
    bool global;
    Text replacement;
    Text expected;
};

TEST(RegexObjectTest, ReplaceUsesTheSubjectAndTheGlobalSwitch) {
    const ReplaceCase cases[] = {
        {"global", true, "[$1]", "中[b]文[b]"},
        {"first only", false, "[$1]", "中[b]文ab"},
        {"double-byte replacement", true, "章", "中章文章"},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegexObject regex;
        regex.Create("a(b)", "中ab文ab", false, true, c.global);
        EXPECT_EQ(regex.Replace(c.replacement), c.expected);
    }
    RegexObject fresh;
    EXPECT_EQ(fresh.Replace("x"), "");
}

TEST(RegexObjectTest, ReadsBeforeCreateAreEmpty) {
    RegexObject regex;
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
}

TEST(RegexObjectTest, CopyKeepsItsSearchWhenTheOriginalMovesOn) {
    auto original = std::make_unique<RegexObject>();
    ASSERT_TRUE(original->Create("(\\w)(\\d)", "a1 b2"));
    std::unique_ptr<RegexObject> copy(original->Copy());

    original->Create("(x)", "xxx");
    EXPECT_EQ(original->MatchCount(), 3);
    original.reset();

    EXPECT_EQ(copy->MatchCount(), 2);
    EXPECT_EQ(copy->SubMatchText(2, 2), "2");
    EXPECT_EQ(copy->PatternText(), "(\\w)(\\d)");
    EXPECT_EQ(copy->Replace("-"), "- -");
}

// On a thread without COM, objects bring it up themselves and each one's
// destruction undoes its own initialisation: afterwards the thread is fresh
// again, so CoInitialize answers S_OK rather than S_FALSE.
TEST(RegexObjectTest, BalancesComInitialisationOnItsThread) {
    HRESULT afterwards = E_FAIL;
    int matchCount = -1;
    std::thread worker([&] {
        {
            RegexObject regex;
            regex.Create("(\\d)", "1 2");
            std::unique_ptr<RegexObject> copy(regex.Copy());
            matchCount = copy->MatchCount();
        }
        afterwards = CoInitialize(nullptr);
        if (SUCCEEDED(afterwards)) CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(matchCount, 2);
    EXPECT_EQ(afterwards, S_OK);
}

}  // namespace
