// A PNG encoder for window snapshots: 24-bit RGB, stored (uncompressed) deflate blocks.
// Snapshots are small and rare, so simplicity beats size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

// `rgb` holds width × height pixels, top row first, three bytes each.
std::string EncodePng(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace zelk
