#include "imaging/MemFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

TEST(MemFile, ClosedFileAnswersAsEmpty)
{
    MemFile file;
    BYTE byte = 0;
    EXPECT_EQ(-1, file.Tell());
    EXPECT_EQ(-1, file.Size());
    EXPECT_EQ(-1, file.Error());
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(0u, file.Read(&byte, 1, 1));
    EXPECT_EQ(0u, file.Write(&byte, 1, 1));
    EXPECT_EQ(-1, file.GetC());
    EXPECT_FALSE(file.PutC(1));
    EXPECT_EQ(nullptr, file.Detach());
}

TEST(MemFile, ReadsWrappedBytesInWholeItems)
{
    BYTE data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    MemFile file(data, sizeof(data));
    BYTE out[8] = {};
    EXPECT_EQ(2u, file.Read(out, 4, 2));
    EXPECT_EQ(8, file.Tell());
    EXPECT_EQ(7, out[7]);
    // Two bytes are left: a 4-byte item is not whole, but the bytes arrive.
    std::memset(out, 0, sizeof(out));
    EXPECT_EQ(0u, file.Read(out, 4, 1));
    EXPECT_EQ(8, out[0]);
    EXPECT_EQ(9, out[1]);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(0u, file.Read(out, 1, 1));
    EXPECT_EQ(0u, file.Read(out, 0, 5));
    EXPECT_EQ(nullptr, file.Detach()) << "a wrapped buffer is not ours to hand out";
}

TEST(MemFile, SeekRefusesNegativePositionsAndAllowsPastTheEnd)
{
    BYTE data[4] = {10, 20, 30, 40};
    MemFile file(data, sizeof(data));
    EXPECT_TRUE(file.Seek(-1, MemFile::FromEnd));
    EXPECT_EQ(40, file.GetC());
    EXPECT_EQ(-1, file.GetC());
    EXPECT_FALSE(file.Seek(-5, MemFile::FromCurrent));
    EXPECT_EQ(4, file.Tell()) << "a refused seek keeps the position";
    EXPECT_FALSE(file.Seek(0, 7));
    EXPECT_TRUE(file.Seek(6, MemFile::FromStart));
    EXPECT_EQ(1, file.Error());
    EXPECT_TRUE(file.Eof());
    EXPECT_FALSE(file.Seek(INT32_MAX, MemFile::FromCurrent)) << "the position must stay a 32-bit value";
    EXPECT_TRUE(file.Seek(1, MemFile::FromStart));
    EXPECT_EQ(0, file.Error());
    EXPECT_EQ(20, file.GetC());
}

TEST(MemFile, WritesGrowAnOwnedBlockAndKeepTheLargestSize)
{
    MemFile file;
    ASSERT_TRUE(file.Open());
    EXPECT_FALSE(file.Open()) << "Open only starts a file that holds nothing";
    EXPECT_EQ(0, file.Size());
    BYTE block[5000];
    for (size_t i = 0; i < sizeof(block); ++i)
        block[i] = static_cast<BYTE>(i);
    EXPECT_EQ(1u, file.Write(block, sizeof(block), 1));
    EXPECT_EQ(5000, file.Size());
    EXPECT_TRUE(file.Seek(10, MemFile::FromStart));
    EXPECT_TRUE(file.PutC(0xAB));
    EXPECT_EQ(5000, file.Size()) << "an overwrite does not shrink the file";
    EXPECT_EQ(11, file.Tell());
    EXPECT_EQ(0u, file.Write(nullptr, 1, 1));
    EXPECT_EQ(0u, file.Write(block, 0, 1));
    EXPECT_EQ(0u, file.Write(block, 1, SIZE_MAX)) << "an oversized request is refused, not wrapped";
    BYTE* bytes = file.Detach();
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(0xAB, bytes[10]);
    EXPECT_EQ(static_cast<BYTE>(4999), bytes[4999]);
    std::free(bytes);
    EXPECT_EQ(-1, file.Size()) << "after Detach the file is closed";
}

TEST(MemFile, WritingPastAWrappedBufferCopiesItIntoAnOwnedOne)
{
    BYTE data[4] = {1, 2, 3, 4};
    MemFile file(data, sizeof(data));
    ASSERT_TRUE(file.Seek(2, MemFile::FromStart));
    BYTE more[4] = {7, 8, 9, 10};
    EXPECT_EQ(4u, file.Write(more, 1, 4));
    EXPECT_EQ(6, file.Size());
    EXPECT_EQ(3, data[2]) << "the caller's bytes stay untouched once the block had to grow";
    const BYTE* bytes = file.GetBuffer();
    EXPECT_EQ(2, bytes[1]);
    EXPECT_EQ(10, bytes[5]);
}
