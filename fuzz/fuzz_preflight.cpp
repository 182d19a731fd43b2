// zelk-inspect's own readers (PDF objects and object streams, TIFF tags, DSC media) over
// arbitrary bytes; the first byte chooses the reader.
#include <string>
#include <vector>

#include "analysis/memory_source.h"
#include "preflight/preflight.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    zelk::MemorySourceFile file(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    std::vector<std::string> notes;
    namespace pf = zelk::preflight;
    switch (data[0] % 3) {
        case 0: {
            const pf::PdfFacts pdf = pf::ReadPdf(file, notes);
            pf::FitOnFormat(pf::PdfPageSize(pdf), 1582, 2126);
            break;
        }
        case 1:
            pf::ReadTiff(file, notes);
            break;
        default:
            pf::ReadDsc(file, notes);
    }
    return 0;
}
