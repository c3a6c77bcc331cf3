#include "pcx_reader.h"

#include <algorithm>
#include <cstddef>

namespace imaging {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
constexpr std::uint8_t kPaletteMarker = 0x0C;

struct PcxHeader {
    int width = 0;
    int height = 0;
    int planes = 0;         // 1 with a palette, 3 for red, green and blue
    int bytesPerLine = 0;   // of one plane, padding included
    bool runLength = false; // encoding 1; 0 is stored plain
};

std::uint16_t Word(std::span<const std::uint8_t> file, std::size_t at) {
    return static_cast<std::uint16_t>(file[at] | (file[at + 1] << 8));
}

std::optional<PcxHeader> ReadHeader(std::span<const std::uint8_t> file) {
    if (file.size() < kHeaderSize || file[0] != 0x0A)
        return std::nullopt;
    const std::uint8_t encoding = file[2];
    const std::uint8_t bitsPerPixel = file[3];
    const int xMin = Word(file, 4), yMin = Word(file, 6);
    const int xMax = Word(file, 8), yMax = Word(file, 10);
    PcxHeader h;
    h.planes = file[65];
    h.bytesPerLine = Word(file, 66);
    if (encoding > 1 || bitsPerPixel != 8 || (h.planes != 1 && h.planes != 3))
        return std::nullopt;
    if (xMax < xMin || yMax < yMin)
        return std::nullopt;
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    h.runLength = encoding == 1;
    if (h.bytesPerLine < h.width || std::int64_t(h.width) * h.height > kMaxPcxPixels)
        return std::nullopt;
    return h;
}

// The picture's bytes as a stream: plain, or run-length coded (a byte with its two top bits
// set repeats the next byte as often as its low six bits say). Runs may go on past the end
// of a line, as some writers let them.
class PcxStream {
public:
    PcxStream(std::span<const std::uint8_t> data, bool runLength)
        : data_(data), runLength_(runLength) {}

    // Fills `out`; false when the data ends first.
    bool read(std::span<std::uint8_t> out) {
        std::size_t filled = 0;
        while (filled < out.size()) {
            if (repeat_ == 0 && !nextRun())
                return false;
            const std::size_t n = std::min<std::size_t>(repeat_, out.size() - filled);
            std::fill_n(out.begin() + std::ptrdiff_t(filled), n, value_);
            filled += n;
            repeat_ -= n;
        }
        return true;
    }

private:
    bool nextRun() {
        if (pos_ >= data_.size())
            return false;
        const std::uint8_t b = data_[pos_++];
        if (!runLength_ || (b & 0xC0) != 0xC0) {
            value_ = b;
            repeat_ = 1;
            return true;
        }
        if (pos_ >= data_.size())
            return false;
        value_ = data_[pos_++];
        repeat_ = b & 0x3F; // a run of 0 is allowed and adds nothing
        return true;
    }

    std::span<const std::uint8_t> data_;
    bool runLength_;
    std::size_t pos_ = 0;
    std::size_t repeat_ = 0;
    std::uint8_t value_ = 0;
};

// Adds decoded lines into an output picture of a smaller or equal size: each output pixel
// is the average of the input pixels that fall on it.
class Reducer {
public:
    Reducer(PictureSize in, PictureSize out) : in_(in), out_(out) {
        columnOf_.resize(std::size_t(in.width));
        for (int x = 0; x < in.width; ++x)
            columnOf_[std::size_t(x)] = int(std::int64_t(x) * out.width / in.width);
        sums_.assign(std::size_t(out.width) * 3, 0);
        counts_.assign(std::size_t(out.width), 0);
        picture_.width = out.width;
        picture_.height = out.height;
        picture_.rgb.resize(std::size_t(out.width) * std::size_t(out.height) * 3);
    }

    // One input line, `rgb` holding three bytes per input pixel.
    void addLine(int y, std::span<const std::uint8_t> rgb) {
        const int row = int(std::int64_t(y) * out_.height / in_.height);
        if (row != row_)
            flush();
        row_ = row;
        for (int x = 0; x < in_.width; ++x) {
            const std::size_t c = std::size_t(columnOf_[std::size_t(x)]);
            sums_[c * 3] += rgb[std::size_t(x) * 3];
            sums_[c * 3 + 1] += rgb[std::size_t(x) * 3 + 1];
            sums_[c * 3 + 2] += rgb[std::size_t(x) * 3 + 2];
            ++counts_[c];
        }
    }

    RgbPicture finish() {
        flush();
        return std::move(picture_);
    }

private:
    void flush() {
        if (row_ < 0)
            return;
        std::uint8_t* line = picture_.rgb.data() + std::size_t(row_) * std::size_t(out_.width) * 3;
        for (std::size_t c = 0; c < counts_.size(); ++c) {
            const std::uint64_t n = std::max<std::uint64_t>(counts_[c], 1);
            for (std::size_t k = 0; k < 3; ++k)
                line[c * 3 + k] = std::uint8_t((sums_[c * 3 + k] + n / 2) / n);
        }
        std::fill(sums_.begin(), sums_.end(), 0);
        std::fill(counts_.begin(), counts_.end(), 0);
        row_ = -1;
    }

    PictureSize in_, out_;
    std::vector<int> columnOf_;
    std::vector<std::uint64_t> sums_;
    std::vector<std::uint64_t> counts_;
    RgbPicture picture_;
    int row_ = -1;
};

} // namespace

PictureSize FitInto(PictureSize natural, int maxWidth, int maxHeight) {
    maxWidth = std::max(maxWidth, 1);
    maxHeight = std::max(maxHeight, 1);
    if (natural.width <= maxWidth && natural.height <= maxHeight)
        return natural;
    const auto w = std::int64_t(natural.width), h = std::int64_t(natural.height);
    // The smaller of the two scales, in whole numbers so the result never overshoots.
    PictureSize fitted;
    if (w * maxHeight >= h * maxWidth) {
        fitted.width = maxWidth;
        fitted.height = int(h * maxWidth / w);
    } else {
        fitted.height = maxHeight;
        fitted.width = int(w * maxHeight / h);
    }
    fitted.width = std::max(fitted.width, 1);
    fitted.height = std::max(fitted.height, 1);
    return fitted;
}

std::optional<RgbPicture> ReadPcx(std::span<const std::uint8_t> file, int maxWidth, int maxHeight) {
    const auto header = ReadHeader(file);
    if (!header)
        return std::nullopt;
    const PcxHeader& h = *header;

    // An 8-bit picture keeps its palette in the last 769 bytes; the picture data lies before.
    std::span<const std::uint8_t> data = file.subspan(kHeaderSize);
    std::span<const std::uint8_t> palette;
    if (h.planes == 1) {
        if (data.size() < kPaletteSize + 1 ||
            data[data.size() - kPaletteSize - 1] != kPaletteMarker)
            return std::nullopt;
        palette = data.last(kPaletteSize);
        data = data.first(data.size() - kPaletteSize - 1);
    }

    // Data too short for the lines the header promises, even at the longest runs, is damaged;
    // this is known before anything is allocated.
    const std::size_t lineBytes = std::size_t(h.planes) * std::size_t(h.bytesPerLine);
    const std::uint64_t needed = std::uint64_t(lineBytes) * std::uint64_t(h.height);
    const std::uint64_t mostFromData =
        h.runLength ? (std::uint64_t(data.size()) / 2) * 63 + data.size() % 2 : data.size();
    if (needed > mostFromData)
        return std::nullopt;

    const PictureSize natural{h.width, h.height};
    Reducer reducer(natural, FitInto(natural, maxWidth, maxHeight));
    PcxStream stream(data, h.runLength);
    std::vector<std::uint8_t> line(lineBytes);
    std::vector<std::uint8_t> rgb(std::size_t(h.width) * 3);
    const std::size_t stride = std::size_t(h.bytesPerLine);
    for (int y = 0; y < h.height; ++y) {
        if (!stream.read(line))
            return std::nullopt;
        for (std::size_t x = 0; x < std::size_t(h.width); ++x) {
            if (h.planes == 1) {
                const std::size_t index = line[x];
                std::copy_n(palette.begin() + std::ptrdiff_t(index * 3), 3,
                            rgb.begin() + std::ptrdiff_t(x * 3));
            } else {
                rgb[x * 3] = line[x];
                rgb[x * 3 + 1] = line[stride + x];
                rgb[x * 3 + 2] = line[2 * stride + x];
            }
        }
        reducer.addLine(y, rgb);
    }
    return reducer.finish();
}

} // namespace imaging
