#include "imaging/pcx_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using imaging::ReadPcx;
using imaging::RgbPicture;
using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;

// The two files in data/ were written by another program's PCX writer (run-length coded,
// lines padded to an even length), from the patterns the first test expects.
Bytes DataFile(const std::string& name) {
    std::ifstream in(std::string(GLEICHWART_TEST_DATA) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Rgb At(const RgbPicture& p, int x, int y) {
    const std::size_t i = (std::size_t(y) * std::size_t(p.width) + std::size_t(x)) * 3;
    return {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]};
}

// A header of our own (8 bits per plane, the picture at 0,0) and what follows it.
Bytes File(int width, int height, int planes, int bytesPerLine, const Bytes& data,
           int encoding = 1) {
    Bytes f(128 + data.size(), 0);
    f[0] = 0x0A;
    f[1] = 5;
    f[2] = std::uint8_t(encoding);
    f[3] = 8;
    f[8] = std::uint8_t((width - 1) & 0xFF);
    f[9] = std::uint8_t((width - 1) >> 8);
    f[10] = std::uint8_t((height - 1) & 0xFF);
    f[11] = std::uint8_t((height - 1) >> 8);
    f[65] = std::uint8_t(planes);
    f[66] = std::uint8_t(bytesPerLine & 0xFF);
    f[67] = std::uint8_t(bytesPerLine >> 8);
    std::copy(data.begin(), data.end(), f.begin() + 128);
    return f;
}

// `pixels` behind the marker and the palette whose entry i is (i, 255 - i, 2 i).
Bytes WithPalette(Bytes pixels) {
    pixels.push_back(0x0C);
    for (int i = 0; i < 256; ++i)
        pixels.insert(pixels.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(2 * i)});
    return pixels;
}

TEST(PcxReaderTest, EachKindDecodesToItsPixels) {
    const auto palette = ReadPcx(DataFile("palette8.pcx"));
    ASSERT_TRUE(palette);
    ASSERT_EQ(std::pair(palette->width, palette->height), std::pair(9, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            const int i = y == 1 ? 5 : (x + 2 * y) % 7;
            const Rgb expected{(10 * i) % 256, (255 - 20 * i + 256) % 256, (3 * i * i) % 256};
            EXPECT_EQ(At(*palette, x, y), expected) << x << "," << y;
        }
    // 3 x 2 in three planes of 4 bytes: one run of 24 bytes covers both lines.
    const auto runs = ReadPcx(File(3, 2, 3, 4, {0xC0 | 24, 7}));
    ASSERT_TRUE(runs);
    EXPECT_EQ(At(*runs, 2, 1), (Rgb{7, 7, 7}));
    // Stored plain, a byte with its two top bits set is a pixel, not a run.
    const auto plain = ReadPcx(File(2, 1, 1, 2, WithPalette({0xC5, 3}), 0));
    ASSERT_TRUE(plain);
    EXPECT_EQ(At(*plain, 0, 0), (Rgb{0xC5, 255 - 0xC5, (2 * 0xC5) % 256}));
    EXPECT_EQ(At(*plain, 1, 0), (Rgb{3, 252, 6}));
}

TEST(PcxReaderTest, EveryShortenedFileGivesNoPicture) {
    for (const char* name : {"palette8.pcx", "rgb24.pcx"}) {
        const Bytes whole = DataFile(name);
        ASSERT_TRUE(ReadPcx(whole)) << name;
        for (std::size_t n = 0; n < whole.size(); ++n)
            EXPECT_FALSE(ReadPcx(std::span(whole.data(), n))) << name << " cut at " << n;
    }
}

TEST(PcxReaderTest, HeadersThatDoNotAddUpGiveNoPicture) {
    const Bytes rgbRun{0xC0 | 63, 1, 0xC0 | 63, 2};
    const Bytes good = File(2, 2, 3, 2, rgbRun);
    auto with = [](Bytes f, std::size_t at, std::uint8_t value) {
        f[at] = value;
        return f;
    };
    const std::pair<const char*, Bytes> cases[] = {
        {"not a PCX file", with(good, 0, 0x0B)},
        {"4 bits per pixel", with(good, 3, 4)},
        {"two planes", with(good, 65, 2)},
        {"unknown encoding", with(good, 2, 2)},
        {"lines shorter than the picture", File(3, 2, 3, 2, rgbRun)},
        {"65535 x 65535 from four bytes", File(65535, 65535, 3, 65535, rgbRun)},
        {"more pixels than allowed", File(30000, 30000, 1, 30000, WithPalette({}))},
        {"palette without its marker", with(File(2, 1, 1, 2, WithPalette({1, 2})), 130, 0x0B)},
        {"run without its value", File(2, 1, 3, 2, {1, 2, 3, 4, 5, 0xC1})},
    };
    ASSERT_TRUE(ReadPcx(good));
    for (const auto& [what, file] : cases)
        EXPECT_FALSE(ReadPcx(file)) << what;
}

} // namespace
