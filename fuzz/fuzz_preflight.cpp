// zelk-inspect's own readers (PDF objects and object streams, TIFF tags, DSC media) over
// arbitrary bytes; the first byte chooses the reader. A PDF is read twice, once from a feed
// in pieces of a size the first byte also chooses, and both reads must give the same facts.
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "analysis/memory_source.h"
#include "preflight/feed.h"
#include "preflight/pdf_syntax.h"
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
            pf::Feed feed;
            const size_t piece = 1 + data[0] / 3;
            std::thread scan([&] {
                for (size_t at = 1; at < size; at += piece)
                    feed.Offer(static_cast<int64_t>(at - 1), data + at, std::min(piece, size - at));
                feed.End();
            });
            zelk::MemorySourceFile again(
                std::string(reinterpret_cast<const char*>(data + 1), size - 1));
            std::vector<std::string> fedNotes;
            pf::PdfFacts fed;
            {
                pf::pdf::Reader reader(again, feed);
                fed = pf::ReadPdf(reader, fedNotes);
            }
            scan.join();
            if (!(fed == pdf) || fedNotes != notes) std::abort();
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
