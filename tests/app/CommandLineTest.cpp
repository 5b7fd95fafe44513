#include "CommandLine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLineTest, BlanksSeparateAndQuotesJoin)
{
    EXPECT_EQ(Arguments(), SplitCommandLine(nullptr));
    EXPECT_EQ(Arguments(), SplitCommandLine(" \t "));
    EXPECT_EQ(Arguments({"delete"}), SplitCommandLine("delete"));
    EXPECT_EQ(Arguments({"delete", "--report=x"}), SplitCommandLine("  delete\t --report=x  "));
    EXPECT_EQ(Arguments({"--report=C:\\My Reports\\r.txt"}), SplitCommandLine("\"--report=C:\\My Reports\\r.txt\""));
    EXPECT_EQ(Arguments({"--report=C:\\My Reports\\r.txt", "b"}),
              SplitCommandLine("--report=\"C:\\My Reports\"\\r.txt b"));
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(Arguments({"a b "}), SplitCommandLine("\"a b "));
}

TEST(CommandLineTest, EmptyQuotesAreEmptyArguments)
{
    EXPECT_EQ(Arguments({""}), SplitCommandLine("\"\""));
    EXPECT_EQ(Arguments({"a", "", "b"}), SplitCommandLine("a \"\" b"));
    EXPECT_EQ(Arguments({"a", ""}), SplitCommandLine("a \""));
}

TEST(CommandLineTest, BackslashesCountOnlyBeforeADoubleQuote)
{
    EXPECT_EQ(Arguments({"C:\\dir\\\\file"}), SplitCommandLine("C:\\dir\\\\file"));
    EXPECT_EQ(Arguments({"C:\\dir\\"}), SplitCommandLine("\"C:\\dir\\\\\""));  // 2n before a quote: n, quote closes
    EXPECT_EQ(Arguments({"a\"b"}), SplitCommandLine("a\\\"b"));                // 2n+1: n and a literal quote
    EXPECT_EQ(Arguments({"a\\\"b"}), SplitCommandLine("a\\\\\\\"b"));
    EXPECT_EQ(Arguments({"a\\", "b"}), SplitCommandLine("\"a\\\\\" b"));
    EXPECT_EQ(Arguments({"trailing\\"}), SplitCommandLine("trailing\\"));
}

TEST(CommandLineTest, TwoDoubleQuotesInsideQuotesStandForOne)
{
    EXPECT_EQ(Arguments({"say \"hi\" now"}), SplitCommandLine("\"say \"\"hi\"\" now\""));
    EXPECT_EQ(Arguments({"ab"}), SplitCommandLine("a\"\"b"));  // outside quotes: opens and closes
}

TEST(CommandLineTest, Big5BackslashTrailByteIsNoEscape)
{
    if (GetACP() != 950)
        GTEST_SKIP() << "needs the Big5 code page";
    // U+8A31 is B3 5C in Big5: its second byte is a backslash.
    EXPECT_EQ(Arguments({"C:\\\xB3\x5C", "next"}), SplitCommandLine("\"C:\\\xB3\x5C\" next"));
}

TEST(CommandLineTest, OptionsAreFoundByWholeNameWithTheirValue)
{
    std::string value = "untouched";
    EXPECT_FALSE(FindOption("delete", "report", value));
    EXPECT_FALSE(FindOption("--reports=x --report x", "report", value));
    EXPECT_FALSE(FindOption("\"--report\"", "report", value));
    EXPECT_EQ("untouched", value);

    EXPECT_TRUE(FindOption("delete \"--report=C:\\My Reports\\r.txt\"", "report", value));
    EXPECT_EQ("C:\\My Reports\\r.txt", value);
    EXPECT_TRUE(FindOption("--report=a --skin=s --report=b=c", "report", value));
    EXPECT_EQ("b=c", value);
    EXPECT_TRUE(FindOption("--report=", "report", value));
    EXPECT_EQ("", value);
}

TEST(CommandLineTest, BadOptionsAreUnknownOnesAndKnownOnesWithoutAValue)
{
    const std::vector<std::string> known = {"report", "skin"};
    EXPECT_EQ("", FindBadOption(nullptr, known));
    EXPECT_EQ("", FindBadOption("delete anything -x", known));
    EXPECT_EQ("", FindBadOption("--skin=a.skin \"--report=C:\\My Reports\\r.txt\"", known));
    EXPECT_EQ("--report", FindBadOption("--skin=a.skin --report", known));
    EXPECT_EQ("--report=", FindBadOption("--report=", known));
    EXPECT_EQ("--reportx=1", FindBadOption("--reportx=1 --report=r", known));
    EXPECT_EQ("--", FindBadOption("--", known));
    EXPECT_EQ("--skin=a", FindBadOption("--skin=a", {"report"}));
}

}  // namespace
