// libFuzzer target for the PCX reader: any bytes, as a damaged or hostile file would hold
// them. A picture that comes back must be whole and within the limit.
#include "imaging/pcx_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr int kLimit = 256;
    const auto picture = imaging::ReadPcx(std::span(data, size), kLimit, kLimit);
    if (!picture)
        return 0;
    const bool whole =
        picture->width >= 1 && picture->width <= kLimit && picture->height >= 1 &&
        picture->height <= kLimit &&
        picture->rgb.size() == std::size_t(picture->width) * std::size_t(picture->height) * 3;
    if (!whole)
        std::abort();
    return 0;
}
