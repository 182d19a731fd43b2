// The DSC scanner over arbitrary bytes, opened as a PostScript job.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zelk::fuzz::ScanBytes(data, size, {"%!PS"});
    return 0;
}
