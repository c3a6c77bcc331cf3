#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

// A decoded picture: rows from top to bottom, three bytes (red, green, blue) per pixel.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The largest picture the reader makes when the caller names no limit: 4096 × 4096.
inline constexpr int kDefaultPictureLimit = 4096;
// The most pixels a file may claim, some 23000 × 23000: more would take minutes to decode.
inline constexpr std::int64_t kMaxPcxPixels = std::int64_t(1) << 29;

// Decodes a PCX file of the common kinds: 8 bits with the 256-colour palette at its end, or
// 24 bits in three planes of 8 bits; run-length coded or stored plain. The file is not
// trusted: a header that does not add up, data that ends early or a palette that is
// missing gives no picture, as does one that claims more than kMaxPcxPixels. A picture larger than
// maxWidth × maxHeight is reduced while it is decoded (each pixel the average of the ones it stands
// for, the proportions kept), so a huge picture never needs its full size in memory.
std::optional<RgbPicture> ReadPcx(std::span<const std::uint8_t> file,
                                  int maxWidth = kDefaultPictureLimit,
                                  int maxHeight = kDefaultPictureLimit);

// The size a picture of `natural` size gets when it must fit into maxWidth × maxHeight with
// its proportions kept; never larger than it was, never smaller than 1 × 1.
PictureSize FitInto(PictureSize natural, int maxWidth, int maxHeight);

} // namespace imaging
