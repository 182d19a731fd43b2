// The TIFF's and the DSC header's facts beyond the window's, and the fit verdict.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <sstream>

#include "preflight/preflight.h"

namespace zelk::preflight {
namespace {

constexpr int32_t kMaxDirectories = 100'000;
constexpr size_t kMaxInkNames = 64 * 1024;
constexpr int64_t kMaxHeader = 1 << 20;  // DSC comments read from the start and the end

bool ReadAt(SourceFile& file, int64_t offset, void* dst, size_t count) {
    return offset >= 0 && file.Seek(offset) &&
           file.Read(static_cast<uint8_t*>(dst), static_cast<int64_t>(count)) ==
               static_cast<int64_t>(count);
}

// Unsigned words of 1 to 4 bytes in either byte order.
class Endian {
  public:
    explicit Endian(bool bigEndian) : big_(bigEndian) {}
    uint32_t Get(const uint8_t* p, int bytes) const {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint32_t>(p[big_ ? bytes - 1 - i : i]) << (8 * i);
        return v;
    }

  private:
    bool big_;
};

// The NUL-separated names of an InkNames entry.
std::vector<std::string> SplitNames(const std::string& bytes) {
    std::vector<std::string> names;
    std::string name;
    for (char c : bytes) {
        if (c != '\0') {
            name += c;
        } else if (!name.empty()) {
            names.push_back(std::move(name));
            name.clear();
        }
    }
    if (!name.empty()) names.push_back(std::move(name));
    return names;
}

// The DSC text of the file: the PostScript part of a DOS EPS binary file, the whole of others.
struct Section {
    int64_t start = 0, length = 0;
};

Section PostScriptSection(SourceFile& file) {
    uint8_t head[12];
    const int64_t size = file.Size();
    if (ReadAt(file, 0, head, sizeof head) && head[0] == 0xC5 && head[1] == 0xD0 &&
        head[2] == 0xD3 && head[3] == 0xC6) {
        const Endian le(false);
        const int64_t start = le.Get(head + 4, 4), length = le.Get(head + 8, 4);
        if (start < size) return {start, std::min(length, size - start)};
    }
    return {0, size};
}

std::string ReadText(SourceFile& file, int64_t start, int64_t length) {
    std::string text(static_cast<size_t>(std::max<int64_t>(0, length)), '\0');
    if (!file.Seek(start)) return {};
    const int64_t got = file.Read(reinterpret_cast<uint8_t*>(text.data()), length);
    text.resize(static_cast<size_t>(std::max<int64_t>(0, got)));
    return text;
}

// DSC lines: CR, LF or CR LF end them.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

// The words of a DSC value: a parenthesised text is one word, without its parentheses.
std::vector<std::string> Words(const std::string& value) {
    std::vector<std::string> words;
    for (size_t i = 0; i < value.size();) {
        if (value[i] == ' ' || value[i] == '\t') {
            ++i;
        } else if (value[i] == '(') {
            int depth = 0;
            std::string word;
            for (++i; i < value.size(); ++i) {
                if (value[i] == ')' && depth-- == 0) break;
                if (value[i] == '(') ++depth;
                word += value[i];
            }
            ++i;
            words.push_back(word);
        } else {
            const size_t end = value.find_first_of(" \t", i);
            words.push_back(value.substr(i, end - i));
            i = end == std::string::npos ? value.size() : end;
        }
    }
    return words;
}

bool Number(const std::string& word, double& out) {
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    in >> out;
    return !in.fail() && in.eof() && std::isfinite(out);
}

std::optional<Box> BoxValue(const std::string& value) {
    const auto words = Words(value);
    Box box{};
    if (words.size() < 4) return std::nullopt;
    for (size_t i = 0; i < 4; ++i)
        if (!Number(words[i], box[i])) return std::nullopt;
    return box;
}

std::optional<DocumentMedium> Medium(const std::string& value) {
    const auto words = Words(value);
    DocumentMedium m;
    if (words.size() < 4 || !Number(words[1], m.width) || !Number(words[2], m.height) ||
        !Number(words[3], m.weight))
        return std::nullopt;
    m.name = words[0];
    if (words.size() > 4) m.colour = words[4];
    if (words.size() > 5) m.type = words[5];
    return m;
}

// Reads the two comments from `lines`; a value "(atend)" leaves it for the trailer.
void DscComments(const std::vector<std::string>& lines, bool header, DscFacts& facts,
                 bool& boxAtEnd, bool& mediaAtEnd) {
    bool inMedia = false;
    for (const std::string& line : lines) {
        if (header && (line.rfind("%%EndComments", 0) == 0 ||
                       (!line.empty() && line[0] != '%' && &line != &lines.front())))
            break;
        if (line.rfind("%%+", 0) == 0) {
            if (inMedia)
                if (auto m = Medium(line.substr(3))) facts.media.push_back(*m);
            continue;
        }
        inMedia = false;
        if (line.rfind("%%HiResBoundingBox:", 0) == 0) {
            const std::string value = line.substr(19);
            if (value.find("(atend)") != std::string::npos) {
                boxAtEnd = true;
            } else if (header ? !facts.hiResBoundingBox : boxAtEnd) {
                facts.hiResBoundingBox = BoxValue(value);
            }
        } else if (line.rfind("%%DocumentMedia:", 0) == 0) {
            const std::string value = line.substr(16);
            if (value.find("(atend)") != std::string::npos) {
                mediaAtEnd = true;
            } else if (header ? facts.media.empty() : mediaAtEnd) {
                facts.media.clear();
                inMedia = true;
                if (auto m = Medium(value)) facts.media.push_back(*m);
            }
        }
    }
}

}  // namespace

TiffFacts ReadTiff(SourceFile& file, std::vector<std::string>& notes) {
    TiffFacts facts;
    uint8_t head[8];
    if (!ReadAt(file, 0, head, sizeof head) || (head[0] != 'I' && head[0] != 'M')) return facts;
    const Endian w(head[0] == 'M');
    if (w.Get(head + 2, 2) != 42) {
        notes.push_back("not a classic TIFF: its directories are not read");
        return facts;
    }
    std::set<uint32_t> seen;
    for (uint32_t at = w.Get(head + 4, 4); at != 0; ++facts.images) {
        if (facts.images >= kMaxDirectories || !seen.insert(at).second) {
            notes.push_back("the chain of image directories loops or never ends");
            break;
        }
        uint8_t countBytes[2];
        if (!ReadAt(file, at, countBytes, 2)) {
            notes.push_back("an image directory lies outside the file");
            break;
        }
        const uint32_t count = w.Get(countBytes, 2);
        std::vector<uint8_t> entries(count * 12u + 4u);
        if (!ReadAt(file, int64_t{at} + 2, entries.data(), entries.size())) {
            notes.push_back("an image directory is cut short");
            ++facts.images;
            break;
        }
        if (facts.images == 0) {
            for (uint32_t i = 0; i < count; ++i) {
                const uint8_t* e = entries.data() + 12 * i;
                const uint32_t tag = w.Get(e, 2), type = w.Get(e + 2, 2), n = w.Get(e + 4, 4);
                const uint32_t value = type == 3 ? w.Get(e + 8, 2) : w.Get(e + 8, 4);
                if (tag == 274 && n >= 1) facts.orientation = static_cast<int32_t>(value);
                if (tag == 332 && n >= 1) facts.inkSet = static_cast<int32_t>(value);
                if (tag == 34675 && n > 0) facts.iccProfile = true;
                if (tag == 333 && type == 2 && n > 0) {
                    std::string bytes(std::min<size_t>(n, kMaxInkNames), '\0');
                    if (n <= 4)
                        std::memcpy(bytes.data(), e + 8, n);
                    else if (!ReadAt(file, w.Get(e + 8, 4), bytes.data(), bytes.size()))
                        bytes.clear();
                    facts.inkNames = SplitNames(bytes);
                }
            }
        }
        at = w.Get(entries.data() + 12 * count, 4);
    }
    return facts;
}

DscFacts ReadDsc(SourceFile& file, std::vector<std::string>& notes) {
    DscFacts facts;
    const Section ps = PostScriptSection(file);
    bool boxAtEnd = false, mediaAtEnd = false;
    const std::string head = ReadText(file, ps.start, std::min(ps.length, kMaxHeader));
    DscComments(Lines(head), true, facts, boxAtEnd, mediaAtEnd);
    if (boxAtEnd || mediaAtEnd) {
        // The trailer's values: the last "%%Trailer" of the file's last megabyte.
        const int64_t tail = std::min(ps.length, kMaxHeader);
        const std::string end = ReadText(file, ps.start + ps.length - tail, tail);
        const size_t trailer = end.rfind("%%Trailer");
        if (trailer == std::string::npos)
            notes.push_back("a comment is deferred to a trailer the file does not have");
        else
            DscComments(Lines(end.substr(trailer)), false, facts, boxAtEnd, mediaAtEnd);
    }
    return facts;
}

Facts Read(SourceFile& file, const std::string& kind) {
    Facts facts;
    if (kind == "PDF") facts.pdf = ReadPdf(file, facts.notes);
    if (kind == "TIF") facts.tiff = ReadTiff(file, facts.notes);
    if (kind == "PS" || kind == "EPS") facts.dsc = ReadDsc(file, facts.notes);
    return facts;
}

Fit FitOnFormat(PageSize page, double fastScan, double slowScan) {
    Fit fit;
    if (!(page.width > 0 && page.height > 0 && fastScan > 0 && slowScan > 0)) return fit;
    const Fit asIs{Verdict::Fits, false, fastScan - page.width, slowScan - page.height};
    const Fit turned{Verdict::FitsTurned, true, fastScan - page.height, slowScan - page.width};
    if (asIs.fastScanMargin >= 0 && asIs.slowScanMargin >= 0) return asIs;
    if (turned.fastScanMargin >= 0 && turned.slowScanMargin >= 0) return turned;
    auto overhang = [](const Fit& f) {
        return std::max(0.0, -f.fastScanMargin) + std::max(0.0, -f.slowScanMargin);
    };
    fit = overhang(turned) < overhang(asIs) ? turned : asIs;
    fit.verdict = Verdict::TooBig;
    return fit;
}

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Fits:
            return "fits";
        case Verdict::FitsTurned:
            return "fitsTurned";
        case Verdict::TooBig:
            return "tooBig";
        case Verdict::Unknown:
            break;
    }
    return "unknown";
}

const char* OrientationName(int32_t orientation) {
    static constexpr const char* kNames[] = {"top-left",     "top-right",  "bottom-right",
                                             "bottom-left",  "left-top",   "right-top",
                                             "right-bottom", "left-bottom"};
    return orientation >= 1 && orientation <= 8 ? kNames[orientation - 1] : "unknown";
}

bool OrientationMirrors(int32_t orientation) {
    return orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
}

}  // namespace zelk::preflight
