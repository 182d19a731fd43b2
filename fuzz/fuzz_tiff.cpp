// ScanTiff over arbitrary bytes, in the byte order the bytes begin with.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zelk::fuzz::ScanBytes(data, size, "TIF", zelk::ScanTiff);
    return 0;
}
