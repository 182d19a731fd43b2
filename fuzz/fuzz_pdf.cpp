// ScanPdf over arbitrary bytes.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zelk::fuzz::ScanBytes(data, size, "PDF", zelk::ScanPdf);
    return 0;
}
