// The TIFF scanner over arbitrary bytes, opened as a TIFF of either byte order.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace std::string_view_literals;
    zelk::fuzz::ScanBytes(data, size, {"II*\0"sv, "MM\0*"sv});
    return 0;
}
