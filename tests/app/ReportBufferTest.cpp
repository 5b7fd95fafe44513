#include "CardNumber.h"
#include "ReportBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReportBuffer, ClearsTheWholeBufferAndAppendsFormattedPieces)
{
    std::vector<char> buffer(ReportBuffer::kSize, 'x');
    ReportBuffer report(buffer.data());
    for (char c : buffer)
        ASSERT_EQ('\0', c);
    report.Append("a%dc", 2);
    report.Append("-%s-", "\xA7\x41");
    EXPECT_STREQ("a2c-\xA7\x41-", buffer.data());
    EXPECT_FALSE(report.Truncated());
}

// A report that outgrows its buffer ends at the last piece that fitted whole:
// no half line, no half Big5 character, nothing past the buffer.
TEST(ReportBuffer, DropsThePieceThatDoesNotFitAndEverythingAfter)
{
    std::vector<char> buffer(ReportBuffer::kSize + 16, 'G');  // guard bytes after the report
    ReportBuffer report(buffer.data());
    const std::string piece(1000, 'r');
    for (int i = 0; i < 20; ++i)
        report.Append("%s", piece.c_str());
    report.Append("\xA7\x41\xA6\xB3 %s\n", std::string(470, 'n').c_str());  // 476 bytes: 20,476 in all
    report.Append("%s", std::string(5, 'z').c_str());                      // would need 20,481
    report.Append("k");                                                    // fits, but comes after a cut

    EXPECT_TRUE(report.Truncated());
    const std::string text(buffer.data());
    EXPECT_EQ(20476u, text.size());
    EXPECT_EQ('\n', text.back());
    for (size_t i = text.size(); i < ReportBuffer::kSize; ++i)
        ASSERT_EQ('\0', buffer[i]);
    for (size_t i = ReportBuffer::kSize; i < buffer.size(); ++i)
        ASSERT_EQ('G', buffer[i]);
}

TEST(ReportBuffer, FillsToTheLastByteBeforeTheTerminator)
{
    std::vector<char> buffer(ReportBuffer::kSize);
    ReportBuffer report(buffer.data());
    report.Append("%s", std::string(ReportBuffer::kSize - 1, 'f').c_str());
    EXPECT_FALSE(report.Truncated());
    report.Append("g");
    EXPECT_TRUE(report.Truncated());
    EXPECT_EQ(ReportBuffer::kSize - 1, std::string(buffer.data()).size());
}

std::string Extract(std::vector<BYTE> response)
{
    return ExtractCardNumber(response.data(), static_cast<DWORD>(response.size()));
}

TEST(CardNumber, IsTheDataBeforeTheSuccessStatus)
{
    std::vector<BYTE> response = {'T', 'P', '0', '3', '0', '0', '0', '0', '0', '0', '0', '0', '1', '2', '3', '4'};
    response.push_back(0x90);
    response.push_back(0x00);
    EXPECT_EQ("TP03000000001234", Extract(response));
}

TEST(CardNumber, StopsAtAnEmbeddedStatusOrTerminatorByte)
{
    EXPECT_EQ("12", Extract({'1', '2', 0x90, '3', 0x90, 0x00}));
    EXPECT_EQ("12", Extract({'1', '2', 0x00, '3', 0x90, 0x00}));
}

// An error status carries no number; reading it as text would show the
// status bytes as if they were the card's number.
TEST(CardNumber, IsEmptyForErrorsAndShortAnswers)
{
    EXPECT_EQ("", Extract({0x6A, 0x82}));
    EXPECT_EQ("", Extract({'1', '2', 0x69, 0x82}));
    EXPECT_EQ("", Extract({0x90}));
    EXPECT_EQ("", Extract({}));
    EXPECT_EQ("", Extract({0x90, 0x00}));
}

// Only 90 00 is success: 90 01 and 91 00 differ from it in one byte each,
// and 61 xx (more data waiting) is no answer yet.
TEST(CardNumber, OnlyTheExactSuccessStatusCarriesANumber)
{
    EXPECT_EQ("12", Extract({'1', '2', 0x90, 0x00}));
    EXPECT_EQ("", Extract({'1', '2', 0x90, 0x01}));
    EXPECT_EQ("", Extract({'1', '2', 0x91, 0x00}));
    EXPECT_EQ("", Extract({'1', '2', 0x61, 0x10}));
    EXPECT_EQ("", Extract({'1', '2', 0x00, 0x90}));
}

}  // namespace
