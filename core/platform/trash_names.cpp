#include "trash_names.h"

#include <string>

namespace platform {
namespace {

constexpr std::size_t kNameMax = 255;

} // namespace

void AppendTrashPathEncoded(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char c : bytes) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

std::string TrashPathEncode(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    AppendTrashPathEncoded(out, path);
    return out;
}

std::string TrashVariantName(const std::string& name, unsigned variant) {
    std::size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string::npos)
        dot = name.size();
    std::string_view stem(name.data(), dot);
    std::string_view extension(name.data() + dot, name.size() - dot);
    const std::string number = variant > 1 ? " " + std::to_string(variant) : std::string();
    const std::size_t room = kNameMax - kTrashInfoSuffix.size();
    if (extension.size() + number.size() > room / 2) {
        stem = name; // no extension worth keeping
        extension = {};
    }
    if (stem.size() + number.size() + extension.size() > room) {
        std::size_t cut = room - number.size() - extension.size();
        // Not inside a UTF-8 sequence, when the name is UTF-8 at all.
        for (int back = 0;
             back < 3 && cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80; ++back)
            --cut;
        stem = stem.substr(0, cut);
    }
    std::string out;
    out.reserve(stem.size() + number.size() + extension.size());
    out.append(stem).append(number).append(extension);
    return out;
}

} // namespace platform
