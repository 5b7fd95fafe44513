// The byte stream that containers are read through, and the unpacking of
// containers.
#include <gtest/gtest.h>

#include <cstring>

#include "data/MemoryStream.h"
#include "SkinTestSupport.h"

namespace {

const uint8_t kTen[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + i / 300) & 0xFF);
    return bytes;
}

}  // namespace

TEST(MemoryStream, CopiesItsBytesOrStaysEmpty)
{
    MemoryStream copy(kTen, 10, 16);
    EXPECT_EQ(copy.Length(), 10);
    EXPECT_EQ(copy.Capacity(), 10);
    EXPECT_EQ(copy.Position(), 0);
    EXPECT_EQ(std::memcmp(copy.Data(), kTen, 10), 0);

    MemoryStream nothing(nullptr, 10, 16);
    EXPECT_EQ(nothing.Length(), 0);
    EXPECT_EQ(nothing.Capacity(), 0);
    MemoryStream negative(kTen, -1, 16);
    EXPECT_EQ(negative.Length(), 0);
}

TEST(MemoryStream, ReadDeliversWhatIsLeftAndLeavesTheRestOfTheDestination)
{
    MemoryStream stream(kTen, 10, 16);
    uint8_t dest[16];
    std::memset(dest, 0xEE, sizeof dest);
    EXPECT_EQ(stream.Read(dest, 4), 4);
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(stream.Read(dest, 16), 6);
    EXPECT_EQ(dest[0], 4);
    EXPECT_EQ(dest[5], 9);
    EXPECT_EQ(dest[6], 0xEE);
    EXPECT_EQ(stream.Read(dest, 1), 0);
    EXPECT_EQ(stream.Read(dest, -5), 0);

    MemoryStream empty;
    EXPECT_EQ(empty.Read(dest, 4), 0);
}

TEST(MemoryStream, WriteGrowsByWholeGranules)
{
    MemoryStream stream(10);
    EXPECT_EQ(stream.Write(kTen, 3), 3);  // no buffer yet: exactly 3 bytes
    EXPECT_EQ(stream.Capacity(), 3);
    EXPECT_EQ(stream.Write(kTen, 5), 5);  // 3 + 10 * ((5 + 3 - 3) / 10 + 1)
    EXPECT_EQ(stream.Capacity(), 13);
    EXPECT_EQ(stream.Length(), 8);
    EXPECT_EQ(stream.Write(kTen, 10), 10);  // 13 + 10 * ((10 + 8 - 13) / 10 + 1)
    EXPECT_EQ(stream.Capacity(), 23);
    EXPECT_EQ(stream.Length(), 18);
    EXPECT_EQ(stream.Position(), 18);
    EXPECT_EQ(stream.Write(kTen, 0), 0);
    EXPECT_EQ(stream.Write(nullptr, 4), 0);
}

TEST(MemoryStream, WriteInsideKeepsTheLength)
{
    MemoryStream stream(kTen, 10, 16);
    stream.Seek(2, MemoryStream::FromStart);
    const uint8_t three[3] = {0xA, 0xB, 0xC};
    EXPECT_EQ(stream.Write(three, 3), 3);
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(stream.Length(), 10);
    EXPECT_EQ(stream.Data()[2], 0xA);
    EXPECT_EQ(stream.Data()[5], 5);
}

TEST(MemoryStream, SeekStaysWithinTheBytes)
{
    MemoryStream stream(kTen, 10, 16);
    EXPECT_EQ(stream.Seek(4, MemoryStream::FromStart), 4);
    EXPECT_EQ(stream.Seek(3, MemoryStream::FromCurrent), 7);
    EXPECT_EQ(stream.Seek(-2, MemoryStream::FromEnd), 8);
    EXPECT_EQ(stream.Seek(50, MemoryStream::FromCurrent), 10);
    // Before the start would let the next read run before the buffer.
    EXPECT_EQ(stream.Seek(-50, MemoryStream::FromCurrent), 0);
    EXPECT_EQ(stream.Seek(-1, MemoryStream::FromStart), 0);
    stream.Seek(6, MemoryStream::FromStart);
    stream.Rewind();
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, AllocateReplacesTheBuffer)
{
    MemoryStream stream(kTen, 10, 16);
    EXPECT_TRUE(stream.Allocate(64));
    EXPECT_EQ(stream.Capacity(), 64);
    EXPECT_EQ(stream.Length(), 0);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_FALSE(stream.Allocate(-1));
    EXPECT_EQ(stream.Capacity(), 0);
}

TEST(Container, UnpacksToExactlyTheDeclaredLength)
{
    const std::vector<uint8_t> stream = Pattern(50000);
    const std::vector<uint8_t> container = Pack(stream);
    EXPECT_LT(container.size(), stream.size());
    MemoryStream out;
    ASSERT_TRUE(StreamOf(container).DecompressTo(out));
    ASSERT_EQ(out.Length(), 50000);
    EXPECT_EQ(std::memcmp(out.Data(), stream.data(), stream.size()), 0);
}

TEST(Container, RefusesAWrongDeclaredLength)
{
    const std::vector<uint8_t> container = Pack(Pattern(5000));
    for (const int delta : {-1, 1, 4000}) {
        std::vector<uint8_t> damaged = container;
        const uint32_t declared = 5000 + delta;
        for (int i = 0; i < 4; ++i)
            damaged[i] = static_cast<uint8_t>(declared >> (8 * i));
        MemoryStream out;
        EXPECT_FALSE(StreamOf(damaged).DecompressTo(out)) << "declared " << declared;
        EXPECT_EQ(out.Length(), 0);
    }
}

TEST(Container, RefusesShortAndDamagedContainers)
{
    MemoryStream out;
    const uint8_t three[3] = {1, 0, 0};
    EXPECT_FALSE(MemoryStream(three, 3).DecompressTo(out));
    EXPECT_FALSE(MemoryStream().DecompressTo(out));

    std::vector<uint8_t> container = Pack(Pattern(5000));
    container.push_back(0);  // input left over after the stream's end
    EXPECT_FALSE(StreamOf(container).DecompressTo(out));

    std::vector<uint8_t> truncated = Pack(Pattern(5000));
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(StreamOf(truncated).DecompressTo(out));
    EXPECT_EQ(out.Length(), 0);
}

TEST(Container, RefusesADeclaredLengthNoStreamOfItsSizeCouldReach)
{
    // 2 GB from 16 packed bytes: refused before anything is allocated.
    std::vector<uint8_t> container = {0x00, 0x00, 0x00, 0x80};
    container.resize(20, 0x11);
    MemoryStream out;
    EXPECT_FALSE(StreamOf(container).DecompressTo(out));

    // Highly repetitive streams do unpack far beyond their packed size.
    const std::vector<uint8_t> zeros(1 << 20, 0);
    const std::vector<uint8_t> packed = Pack(zeros);
    EXPECT_LT(packed.size() * 100, zeros.size());
    EXPECT_TRUE(StreamOf(packed).DecompressTo(out));
}
