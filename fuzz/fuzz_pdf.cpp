// The PDF scanner over arbitrary bytes, opened as a PDF.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zelk::fuzz::ScanBytes(data, size, {"%PDF"});
    return 0;
}
