#include "ui/png.h"

#include <array>

namespace zelk {
namespace {

uint32_t Crc32(const std::string& data, size_t from) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < data.size(); ++i)
        crc = table[(crc ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutU32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& body) {
    PutU32(png, static_cast<uint32_t>(body.size()));
    const size_t typeAt = png.size();
    png += type;
    png += body;
    PutU32(png, Crc32(png, typeAt));
}

std::string Zlib(const std::string& raw) {
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (char c : raw) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    size_t at = 0;
    do {
        const size_t len = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + len == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(len & 0xFF);
        z += static_cast<char>(len >> 8);
        z += static_cast<char>(~len & 0xFF);
        z += static_cast<char>((~len >> 8) & 0xFF);
        z.append(raw, at, len);
        at += len;
    } while (at < raw.size());
    PutU32(z, (b << 16) | a);
    return z;
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
    const auto w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutU32(header, static_cast<uint32_t>(width));
    PutU32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
    Chunk(png, "IHDR", header);
    std::string raw;
    raw.reserve(h * (w * 3 + 1));
    for (size_t y = 0; y < h; ++y) {
        raw += '\0';  // filter: none
        raw.append(reinterpret_cast<const char*>(rgb.data() + y * w * 3), w * 3);
    }
    Chunk(png, "IDAT", Zlib(raw));
    Chunk(png, "IEND", "");
    return png;
}

}  // namespace zelk
