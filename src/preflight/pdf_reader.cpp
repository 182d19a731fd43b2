// The PDF's objects in one pass from the start, without the cross-reference table: damaged
// and updated files are read the same way, the later of two objects of one number wins.
// Stream data is stepped over by its length, never read, except that of object streams,
// which are inflated (to a bound) and their objects read as if they stood in the file.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "preflight/pdf_syntax.h"
#include "preflight/preflight.h"
#include "preflight/utf8.h"

namespace zelk::preflight {
namespace {

using pdf::Parser;
using pdf::Reader;
using pdf::Token;
using pdf::Value;

constexpr int64_t kMaxObjectBytes = 8 << 20;  // what one object (its dictionary) may span
constexpr size_t kMaxColourants = 4096;
constexpr size_t kMaxNotes = 50;
constexpr size_t kMaxPagesKept = 4096;

// Where an object was read: at a file offset, or as the index-th of the object stream there.
struct Location {
    int64_t offset = 0;
    int32_t index = -1;
};

struct PageNode {
    uint32_t firstKid = 0;
    std::optional<int64_t> count;
    std::optional<Box> mediaBox, cropBox;
    std::optional<int32_t> rotate;
    bool hasParent = false;
};

struct FontRecord {
    std::string name, subtype, directFile;
    uint32_t descriptor = 0, descendant = 0;
};

struct InfoRecord {
    std::optional<std::string> title, creator, producer;
};

std::optional<Box> BoxOf(const Value& dict, std::string_view key) {
    const Value* v = dict.Get(key);
    if (v == nullptr || !v->Is(Value::Array) || v->items.size() != 4) return std::nullopt;
    Box box{};
    for (size_t i = 0; i < 4; ++i) {
        if (!v->items[i].Is(Value::Number) || !std::isfinite(v->items[i].number))
            return std::nullopt;
        box[i] = v->items[i].number;
    }
    // Any two opposite corners make the box.
    if (box[0] > box[2]) std::swap(box[0], box[2]);
    if (box[1] > box[3]) std::swap(box[1], box[3]);
    return box;
}

std::optional<int32_t> RotateOf(const Value& dict) {
    const Value* v = dict.Get("Rotate");
    if (v == nullptr || !v->Is(Value::Number) || !v->integer || std::fabs(v->number) > 1e9)
        return std::nullopt;
    const auto r = static_cast<int32_t>(v->number) % 360;
    return r < 0 ? r + 360 : r;
}

std::optional<int64_t> IntegerOf(const Value& dict, std::string_view key) {
    const Value* v = dict.Get(key);
    if (v == nullptr || !v->Is(Value::Number) || !v->integer || v->number < 0 || v->number > 9e15)
        return std::nullopt;
    return static_cast<int64_t>(v->number);
}

// The key of a font descriptor that embeds the font's program, or empty.
std::string EmbeddingKey(const Value& descriptor) {
    for (const char* key : {"FontFile", "FontFile2", "FontFile3"})
        if (descriptor.Get(key) != nullptr) return key;
    return {};
}

// A text string of the Info dictionary as UTF-8: UTF-16 with its byte-order mark converted,
// other bytes kept as they are (the caller converts single-byte text for its output).
std::string TextString(const std::string& s) {
    if (s.size() >= 3 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) return s.substr(3);
    if (s.size() < 2 || static_cast<uint8_t>(s[0]) != 0xFE || static_cast<uint8_t>(s[1]) != 0xFF)
        return s;
    std::string out;
    auto unit = [&s](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 8 |
               static_cast<uint8_t>(s[at + 1]);
    };
    for (size_t i = 2; i + 1 < s.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < s.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // a lone surrogate
        AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> StringOf(const Value& dict, std::string_view key) {
    const Value* v = dict.Get(key);
    if (v == nullptr || !v->Is(Value::String)) return std::nullopt;
    return TextString(v->text);
}

class PdfWalk {
  public:
    PdfWalk(Reader& reader, std::vector<std::string>& notes) : reader_(reader), notes_(notes) {}

    PdfFacts Run() {
        Scan();
        if (reader_.Failed()) Note("the file could not be read to its end");
        Resolve();
        return std::move(facts_);
    }

  private:
    void Note(std::string text) {
        if (held_ != nullptr)
            held_->push_back(std::move(text));
        else if (notes_.size() < kMaxNotes && !capture_.on)
            notes_.push_back(std::move(text));
    }

    // The top level: object headers ("12 0 obj") and trailers among anything else, found by
    // the last letter of their keyword so that a run of other bytes costs a table look-up a
    // byte.
    void Scan() {
        static const auto kLastLetter = [] {
            std::array<bool, 256> last{};
            last['j'] = last['r'] = last['m'] = true;  // obj, trailer, stream
            return last;
        }();
        while (reader_.Fill(1)) {
            const uint8_t* const begin = reader_.Here();
            const uint8_t* const end = begin + reader_.Available();
            const uint8_t* p = begin;
            while (p < end && !kLastLetter[*p]) ++p;
            reader_.Advance(static_cast<size_t>(p - begin) + (p < end ? 1 : 0));
            if (p == end) continue;
            const uint8_t letter = *p;  // before Peek, which may move the bytes at hand
            if (pdf::IsRegular(reader_.Peek())) continue;
            if (letter == 'j' && EndsWord("obj")) {
                ObjectHeader();
            } else if (letter == 'r' && EndsWord("trailer")) {
                Parser parser(reader_, kMaxObjectBytes);
                Value trailer;
                if (parser.ParseValue(trailer)) Trailer(trailer);
                parser.Unread();
            } else if (letter == 'm' && EndsWord("stream")) {  // data of an unparsed object
                reader_.SkipPast("endstream");
            }
        }
    }

    // The keyword `word` ends just behind the position, as a word of its own.
    bool EndsWord(std::string_view word) const {
        for (size_t i = 0; i < word.size(); ++i)
            if (reader_.Behind(word.size() - i) != word[i]) return false;
        return !pdf::IsRegular(reader_.Behind(word.size() + 1));
    }

    // "obj" was just read: when two integers stand before it, an object follows.
    void ObjectHeader() {
        size_t k = 4;  // the byte before "obj"
        auto integer = [this, &k](int64_t& value) {
            while (pdf::IsSpace(reader_.Behind(k)) && k < 40) ++k;
            const size_t last = k;
            while (reader_.Behind(k) >= '0' && reader_.Behind(k) <= '9' && k < 40) ++k;
            if (k == last || k - last > 10 || pdf::IsRegular(reader_.Behind(k))) return false;
            value = 0;
            for (size_t i = k - 1; i >= last; --i) value = value * 10 + (reader_.Behind(i) - '0');
            return true;
        };
        int64_t generation = 0, number = 0;
        if (!pdf::IsSpace(reader_.Behind(k)) || !integer(generation) || !integer(number) ||
            number > UINT32_MAX)
            return;
        ReadObject(static_cast<uint32_t>(number), reader_.Offset() - static_cast<int64_t>(k) + 1);
    }

    // One object after its "N G obj"; `header` is where "N" starts.
    void ReadObject(uint32_t number, int64_t header) {
        const int64_t body = reader_.Offset();
        Parser parser(reader_, kMaxObjectBytes);
        Value& value = scratch_;  // its room is kept from one object to the next
        value.Clear();
        if (!parser.ParseValue(value)) {
            Note("object " + std::to_string(number) + " could not be read: skipped");
            // The objects within what the parse read are looked for again, once: a failure
            // inside that stretch goes on where it stopped, so damage costs linear time.
            const int64_t reached = reader_.Offset();
            parser.Unread();
            if (body < noRescueUntil_) {
                reader_.SeekTo(std::max(reached, body));
            } else {
                noRescueUntil_ = reached;
                reader_.SeekTo(body);
            }
            return;
        }
        const Token next = parser.Next();
        if (!next.Is("stream")) {
            parser.Unread();
            if (!next.Is("endobj")) reader_.SeekTo(next.offset);  // no endobj: go on there
            Record(number, value, {header, -1});
            return;
        }
        Record(number, value, {header, -1});
        // The data starts after the end of line that follows "stream".
        if (reader_.Peek() == '\r') reader_.Get();
        if (reader_.Peek() == '\n') reader_.Get();
        const int64_t start = reader_.Offset();
        int64_t end = -1;
        // While one page is re-read (Capture), only the stream that holds it is inflated.
        const bool objects = value.NameOf("Type") == "ObjStm" &&
                             (!capture_.on || !capture_.at || capture_.at->index >= 0);
        if (const auto length = IntegerOf(value, "Length")) {
            // An object stream is inflated on from its start before its end is checked, so
            // that a reader fed by the scan need not go back; what it noted counts only once
            // the length proves right.
            std::vector<std::string> held;
            std::optional<std::string> data;
            if (objects) {
                held_ = &held;
                data = ObjectStreamData(number, value, start, start + *length);
                held_ = nullptr;
            }
            reader_.SeekTo(start + *length);
            for (int i = 0; i < 4 && pdf::IsSpace(reader_.Peek()); ++i) reader_.Get();
            if (reader_.StartsWith("endstream")) {
                end = start + *length;
                for (std::string& note : held) Note(std::move(note));
                if (data) ObjectStreamObjects(number, value, *data, header);
            }
        }
        if (end < 0) {  // no length, an indirect one, or a wrong one: look for the end
            reader_.SeekTo(start);
            if (!reader_.SkipPast("endstream")) {
                Note("the data of object " + std::to_string(number) + " has no end");
                return;
            }
            end = reader_.Offset() - 9;
            reader_.SeekTo(end);
            if (objects) {
                if (const auto data = ObjectStreamData(number, value, start, end))
                    ObjectStreamObjects(number, value, *data, header);
            }
        }
        reader_.SeekTo(end);
        reader_.SkipPast("endstream");
    }

    // The data of an object stream from `start` to `end`, inflated to at most kMaxInflated
    // bytes; nothing (noted) when it cannot be used.
    std::optional<std::string> ObjectStreamData(uint32_t number, const Value& dict, int64_t start,
                                                int64_t end) {
        const std::string name = "object stream " + std::to_string(number);
        const Value* filter = dict.Get("Filter");
        if (filter != nullptr && filter->Is(Value::Array) && filter->items.size() == 1)
            filter = &filter->items[0];
        const bool flate = filter != nullptr && filter->Is(Value::Name) &&
                           (filter->text == "FlateDecode" || filter->text == "Fl");
        if (filter != nullptr && !flate) {
            Note(name + " has a filter other than FlateDecode alone: skipped");
            return std::nullopt;
        }
        if (const Value* parms = dict.Get("DecodeParms"); parms != nullptr) {
            const auto predictor = IntegerOf(*parms, "Predictor");
            if (predictor && *predictor > 1) {
                Note(name + " uses a predictor: skipped");
                return std::nullopt;
            }
        }
        std::string data;
        if (!Inflate(start, end, flate, data, name)) return std::nullopt;
        return data;
    }

    // The objects of an object stream's inflated data, read as if they stood in the file.
    void ObjectStreamObjects(uint32_t number, const Value& dict, const std::string& data,
                             int64_t header) {
        const std::string name = "object stream " + std::to_string(number);
        const auto count = IntegerOf(dict, "N");
        const auto first = IntegerOf(dict, "First");
        if (!count || !first || *first > static_cast<int64_t>(data.size())) {
            Note(name + " has no valid /N or /First: skipped");
            return;
        }
        if (!capture_.on) ++facts_.objectStreams;
        // The header: pairs of object number and offset from /First.
        Reader header_(reinterpret_cast<const uint8_t*>(data.data()), static_cast<size_t>(*first));
        pdf::Tokenizer numbers(header_);
        for (int64_t i = 0; i < *count; ++i) {
            const Token n = numbers.Next(), at = numbers.Next();
            if (n.kind != Token::Number || at.kind != Token::Number || !n.integer || !at.integer ||
                n.number < 0 || at.number < 0 ||
                at.number >= static_cast<double>(data.size() - static_cast<size_t>(*first))) {
                Note(name + " lists fewer objects than it says");
                return;
            }
            Reader body(reinterpret_cast<const uint8_t*>(data.data()), data.size());
            body.SeekTo(*first + static_cast<int64_t>(at.number));
            Parser parser(body, kMaxObjectBytes);
            Value value;
            if (parser.ParseValue(value))
                Record(static_cast<uint32_t>(n.number), value,
                       {header, static_cast<int32_t>(std::min<int64_t>(i, INT32_MAX))});
        }
    }

    // The stream's bytes from `start` to `end`, inflated when `flate`; false (noted) when
    // nothing usable came out. What inflated before damage is kept.
    bool Inflate(int64_t start, int64_t end, bool flate, std::string& out,
                 const std::string& name) {
        reader_.SeekTo(start);
        std::vector<uint8_t> in(64 * 1024);
        int64_t left = end - start;
        auto pull = [this, &in, &left] {  // the stream's next bytes into `in`; 0 at its end
            const size_t n = reader_.ReadInto(
                in.data(), static_cast<size_t>(std::min<int64_t>(left, std::ssize(in))));
            left -= static_cast<int64_t>(n);
            return n;
        };
        if (!flate) {
            if (left > kMaxInflated) {
                Note(name + " is over 16 MiB: skipped");
                return false;
            }
            while (const size_t n = pull()) out.append(reinterpret_cast<const char*>(in.data()), n);
            return true;
        }
        z_stream z{};
        if (inflateInit(&z) != Z_OK) return false;
        std::vector<uint8_t> piece(64 * 1024);
        int status = Z_OK;
        bool over = false;
        while (status == Z_OK) {
            if (z.avail_in == 0) {
                const size_t n = pull();
                if (n == 0) break;  // the data ended before the stream did
                z.next_in = in.data();
                z.avail_in = static_cast<uInt>(n);
            }
            z.next_out = piece.data();
            z.avail_out = static_cast<uInt>(piece.size());
            status = inflate(&z, Z_NO_FLUSH);
            const size_t made = piece.size() - z.avail_out;
            if (out.size() + made > static_cast<size_t>(kMaxInflated)) {
                over = true;
                break;
            }
            out.append(reinterpret_cast<const char*>(piece.data()), made);
            if (status == Z_BUF_ERROR && z.avail_in == 0) status = Z_OK;  // wants more input
        }
        inflateEnd(&z);
        if (over) {
            Note(name + " inflates to over 16 MiB: skipped");
            out.clear();
            return false;
        }
        if (status != Z_STREAM_END) Note(name + " is damaged or cut short: read as far as it goes");
        return !out.empty();
    }

    void Trailer(const Value& dict) {
        if (const uint32_t root = dict.RefOf("Root")) root_ = root;
        if (const uint32_t info = dict.RefOf("Info")) info_ = info;
        if (dict.Get("Encrypt") != nullptr) facts_.encrypted = true;
    }

    void Colourant(const std::string& name) {
        if (name == "All" || name == "None" || name.empty()) return;
        const bool process =
            name == "Cyan" || name == "Magenta" || name == "Yellow" || name == "Black";
        auto& list = process ? facts_.processInks : facts_.spots;
        if (list.size() < kMaxColourants && std::find(list.begin(), list.end(), name) == list.end())
            list.push_back(name);
    }

    // Every [/Separation /Name ...] and [/DeviceN [/A /B] ...] anywhere in the value.
    void ColourSpaces(const Value& v) {
        if (v.Is(Value::Array) && v.items.size() >= 2 && v.items[0].Is(Value::Name)) {
            if (v.items[0].text == "Separation" && v.items[1].Is(Value::Name))
                Colourant(v.items[1].text);
            if (v.items[0].text == "DeviceN" && v.items[1].Is(Value::Array))
                for (const Value& name : v.items[1].items)
                    if (name.Is(Value::Name)) Colourant(name.text);
        }
        if (v.Is(Value::Array) || v.Is(Value::Dict))
            for (const Value& item : v.items) ColourSpaces(item);
    }

    void Record(uint32_t number, const Value& v, Location where) {
        if (capture_.on) {
            if (number == capture_.number &&
                (!capture_.at ||
                 (where.offset == capture_.at->offset && where.index == capture_.at->index)))
                captured_ = v;
            return;
        }
        ColourSpaces(v);
        if (!v.Is(Value::Dict)) return;
        const std::string_view type = v.NameOf("Type");
        if (type == "Catalog") {
            catalogs_[number] = v.RefOf("Pages");
        } else if (type == "Pages") {
            PageNode node;
            if (const Value* kids = v.Get("Kids"); kids != nullptr && kids->Is(Value::Array) &&
                                                   !kids->items.empty() &&
                                                   kids->items[0].Is(Value::Ref))
                node.firstKid = static_cast<uint32_t>(kids->items[0].number);
            node.count = IntegerOf(v, "Count");
            node.mediaBox = BoxOf(v, "MediaBox");
            node.cropBox = BoxOf(v, "CropBox");
            node.rotate = RotateOf(v);
            node.hasParent = v.Get("Parent") != nullptr;
            if (!pageNodes_.contains(number)) nodeOrder_.push_back(number);
            pageNodes_[number] = node;
        } else if (type == "Page") {
            // Where each page is, for the first page's re-reading; past a bound, only the
            // pages already met (an update), and the first page is then searched for again.
            if (pages_.size() < kMaxPagesKept || keptPages_.contains(number)) {
                pages_.push_back({number, where});
                keptPages_.insert(number);
            }
        } else if (type == "XRef") {
            Trailer(v);
        }
        if (const std::string_view base = v.NameOf("BaseFont"); !base.empty()) {
            FontRecord font{std::string(base), std::string(v.NameOf("Subtype")), {}, 0, 0};
            if (const Value* d = v.Get("FontDescriptor"); d != nullptr) {
                if (d->Is(Value::Ref)) font.descriptor = static_cast<uint32_t>(d->number);
                if (d->Is(Value::Dict)) font.directFile = EmbeddingKey(*d);
            }
            if (const Value* d = v.Get("DescendantFonts");
                d != nullptr && d->Is(Value::Array) && !d->items.empty()) {
                const Value& first = d->items[0];
                if (first.Is(Value::Ref)) font.descendant = static_cast<uint32_t>(first.number);
                if (first.Is(Value::Dict)) {
                    const Value* fd = first.Get("FontDescriptor");
                    if (fd != nullptr && fd->Is(Value::Dict)) font.directFile = EmbeddingKey(*fd);
                    if (fd != nullptr && fd->Is(Value::Ref))
                        font.descriptor = static_cast<uint32_t>(fd->number);
                }
            }
            if (!fonts_.contains(number)) fontOrder_.push_back(number);
            fonts_[number] = std::move(font);
        }
        if (type == "FontDescriptor") descriptors_[number] = EmbeddingKey(v);
        InfoRecord info{StringOf(v, "Title"), StringOf(v, "Creator"), StringOf(v, "Producer")};
        if (info.title || info.creator || info.producer) infos_[number] = std::move(info);
    }

    // Re-reads object `number`: the one at `where`, or the last of that number in the file
    // when its place was not kept (a page: only its place was kept).
    std::optional<Value> Capture(uint32_t number, std::optional<Location> where) {
        capture_ = {true, number, where};
        captured_.reset();
        if (where) {
            reader_.SeekTo(where->offset);
            Parser header(reader_, 64);
            const Token n = header.Next(), g = header.Next(), obj = header.Next();
            if (n.kind == Token::Number && g.kind == Token::Number && obj.Is("obj"))
                ReadObject(number, where->offset);
        } else {
            reader_.SeekTo(0);
            Scan();
        }
        capture_ = {};
        return std::move(captured_);
    }

    void Resolve() {
        // The page tree's root: the catalog's, else the first node without a parent.
        uint32_t root = 0;
        if (auto c = catalogs_.find(root_); c != catalogs_.end()) root = c->second;
        if (root == 0 && !catalogs_.empty()) root = catalogs_.rbegin()->second;
        if (!pageNodes_.contains(root)) {
            root = 0;
            for (uint32_t n : nodeOrder_)
                if (!pageNodes_[n].hasParent) {
                    root = n;
                    break;
                }
        }
        std::vector<const PageNode*> chain;  // root first
        uint32_t at = root;
        for (auto node = pageNodes_.find(at); node != pageNodes_.end() && chain.size() < 64;
             node = pageNodes_.find(at)) {
            chain.push_back(&node->second);
            at = node->second.firstKid;
        }
        if (!chain.empty()) facts_.pages = chain.front()->count;
        const auto page = std::find_if(pages_.rbegin(), pages_.rend(),
                                       [at](const auto& p) { return p.first == at; });
        std::optional<Location> where;
        if (page != pages_.rend()) where = page->second;
        if (!chain.empty() && (where || pages_.size() >= kMaxPagesKept)) {
            if (const auto value = Capture(at, where)) {
                facts_.firstPageFound = true;
                facts_.mediaBox = BoxOf(*value, "MediaBox");
                facts_.cropBox = BoxOf(*value, "CropBox");
                facts_.bleedBox = BoxOf(*value, "BleedBox");
                facts_.trimBox = BoxOf(*value, "TrimBox");
                std::optional<int32_t> rotate = RotateOf(*value);
                for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
                    if (!facts_.mediaBox) facts_.mediaBox = (*node)->mediaBox;
                    if (!facts_.cropBox) facts_.cropBox = (*node)->cropBox;
                    if (!rotate) rotate = (*node)->rotate;
                }
                facts_.rotate = rotate.value_or(0);
            }
        }
        if (!facts_.firstPageFound && !pages_.empty()) Note("the first page could not be found");

        // Fonts: a composite font is listed, its descendant not again.
        std::set<uint32_t> descendants;
        for (const auto& [number, font] : fonts_)
            if (font.descendant != 0) descendants.insert(font.descendant);
        for (uint32_t number : fontOrder_) {
            if (descendants.contains(number)) continue;
            const FontRecord& font = fonts_[number];
            std::string file = font.directFile;
            for (uint32_t d :
                 {font.descriptor,
                  fonts_.contains(font.descendant) ? fonts_[font.descendant].descriptor : 0u}) {
                if (auto found = descriptors_.find(d); file.empty() && found != descriptors_.end())
                    file = found->second;
            }
            if (file.empty() && fonts_.contains(font.descendant))
                file = fonts_[font.descendant].directFile;
            PdfFont entry{font.name, font.subtype, file};
            if (std::find(facts_.fonts.begin(), facts_.fonts.end(), entry) == facts_.fonts.end())
                facts_.fonts.push_back(std::move(entry));
        }
        if (auto info = infos_.find(info_); info != infos_.end()) {
            facts_.title = info->second.title;
            facts_.creator = info->second.creator;
            facts_.producer = info->second.producer;
        }
    }

    Reader& reader_;
    std::vector<std::string>& notes_;
    PdfFacts facts_;
    uint32_t root_ = 0, info_ = 0;
    int64_t noRescueUntil_ = 0;
    std::map<uint32_t, uint32_t> catalogs_;
    std::unordered_map<uint32_t, PageNode> pageNodes_;
    std::vector<uint32_t> nodeOrder_;
    std::vector<std::pair<uint32_t, Location>> pages_;  // only where each page is
    std::unordered_set<uint32_t> keptPages_;
    std::unordered_map<uint32_t, FontRecord> fonts_;
    std::vector<uint32_t> fontOrder_;
    std::unordered_map<uint32_t, std::string> descriptors_;
    std::unordered_map<uint32_t, InfoRecord> infos_;
    struct {
        bool on = false;
        uint32_t number = 0;
        std::optional<Location> at;
    } capture_;
    std::optional<Value> captured_;
    Value scratch_;
    std::vector<std::string>* held_ = nullptr;  // where notes go until they are known to count
};

}  // namespace

PdfFacts ReadPdf(SourceFile& file, std::vector<std::string>& notes) {
    Reader reader(file);
    return ReadPdf(reader, notes);
}

PdfFacts ReadPdf(pdf::Reader& reader, std::vector<std::string>& notes) {
    return PdfWalk(reader, notes).Run();
}

PageSize PdfPageSize(const PdfFacts& pdf) {
    std::optional<Box> box = pdf.mediaBox;
    if (pdf.cropBox) {
        box = pdf.cropBox;
        if (pdf.mediaBox) {  // the crop box is clipped to the media box
            const Box& m = *pdf.mediaBox;
            Box& c = *box;
            c = {std::max(c[0], m[0]), std::max(c[1], m[1]), std::min(c[2], m[2]),
                 std::min(c[3], m[3])};
            if (c[0] >= c[2] || c[1] >= c[3]) box = pdf.mediaBox;
        }
    }
    if (!box) return {};
    PageSize size{(*box)[2] - (*box)[0], (*box)[3] - (*box)[1]};
    if (pdf.rotate % 180 == 90) std::swap(size.width, size.height);
    return size;
}

}  // namespace zelk::preflight
