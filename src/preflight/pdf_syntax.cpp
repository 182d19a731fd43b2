#include "preflight/pdf_syntax.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace zelk::preflight::pdf {
namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr size_t kBehind = 64;          // bytes kept before the position when the buffer moves on
constexpr size_t kMaxText = 64 * 1024;  // bytes kept of one string; the rest is read past
constexpr size_t kMaxWord = 256;        // bytes kept of one name or keyword
constexpr size_t kMaxItems = 256;       // array items kept
constexpr int kMaxDepth = 32;
constexpr int64_t kMaxNodes = 200'000;  // values in one object

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Each byte's class, looked up once: the tokenizer asks for every byte it reads.
enum : uint8_t { kRegular = 0, kSpace = 1, kDelimiter = 2 };
constexpr std::array<uint8_t, 256> kClass = [] {
    std::array<uint8_t, 256> c{};
    for (char b : {' ', '\n', '\r', '\t', '\f', '\0'}) c[static_cast<uint8_t>(b)] = kSpace;
    for (char b : {'(', ')', '<', '>', '[', ']', '{', '}', '/', '%'})
        c[static_cast<uint8_t>(b)] = kDelimiter;
    return c;
}();

}  // namespace

bool IsSpace(int c) {
    return c >= 0 && c < 256 && kClass[static_cast<size_t>(c)] == kSpace;
}

bool IsDelimiter(int c) {
    return c >= 0 && c < 256 && kClass[static_cast<size_t>(c)] == kDelimiter;
}

bool IsRegular(int c) {
    return c >= 0 && c < 256 && kClass[static_cast<size_t>(c)] == kRegular;
}

// --- Reader

Reader::Reader(SourceFile& file) : file_(&file), buffer_(kChunk) {
    data_ = buffer_.data();
    if (!file.Seek(0)) failed_ = true;
}

Reader::Reader(SourceFile& file, Feed& feed) : Reader(file) {
    feed_ = &feed;
}

Reader::Reader(const uint8_t* data, size_t size) : data_(data), end_(size) {}

Reader::~Reader() {
    if (feed_ != nullptr) LeaveFeed();
}

bool Reader::Fill(size_t need) {
    if (end_ - pos_ >= need) return true;
    if (feed_ != nullptr) {
        if (FillFromFeed(need)) return true;
        LeaveFeed();
    }
    if (file_ == nullptr || failed_) return false;
    // Keep the bytes not yet used, and a few behind them, at the front and read behind them.
    const size_t from = pos_ - std::min(pos_, kBehind);
    std::memmove(buffer_.data(), buffer_.data() + from, end_ - from);
    base_ += static_cast<int64_t>(from);
    end_ -= from;
    pos_ -= from;
    while (end_ - pos_ < need && end_ < buffer_.size()) {
        const int64_t got =
            file_->Read(buffer_.data() + end_, static_cast<int64_t>(buffer_.size() - end_));
        if (got < 0) failed_ = true;
        if (got <= 0) return false;
        end_ += static_cast<size_t>(got);
    }
    return end_ - pos_ >= need;
}

// The next stretch goes on from the bytes at hand: the few still needed of them are put in
// the room before it, and the reader reads on in the stretch. False when the feed cannot go
// on (it ended, or a need it was not made for): the file takes over where the bytes at hand
// end.
bool Reader::FillFromFeed(size_t need) {
    while (end_ - pos_ < need) {
        Feed::Stretch next;
        if (!feed_->Take(next)) return false;
        const int64_t have = base_ + static_cast<int64_t>(end_);  // the first byte not at hand
        const int64_t nextEnd = next.offset + static_cast<int64_t>(next.size);
        const size_t keep = pos_ - std::min(pos_, kBehind);
        const size_t carried = end_ - keep;
        if (nextEnd <= have) {  // stepped over: the reader moved on beyond it
            feed_->Give(next);
            continue;
        }
        if (next.offset > have || carried > Feed::kHead + static_cast<size_t>(have - next.offset)) {
            feed_->Give(next);
            return false;
        }
        const auto skip = static_cast<size_t>(have - next.offset);
        uint8_t* const at = next.bytes + skip - carried;
        std::memcpy(at, data_ + keep, carried);
        if (held_) feed_->Give(*held_);
        held_ = next;
        data_ = at;
        base_ = have - static_cast<int64_t>(carried);
        pos_ -= keep;
        end_ = carried + (next.size - skip);
    }
    return true;
}

void Reader::LeaveFeed() {
    const size_t keep = pos_ - std::min(pos_, kBehind);
    if (data_ != buffer_.data()) {
        // As much as the buffer holds; the file gives the rest again.
        end_ = keep + std::min(end_ - keep, buffer_.size());
        std::memcpy(buffer_.data(), data_ + keep, end_ - keep);
        data_ = buffer_.data();
        base_ += static_cast<int64_t>(keep);
        end_ -= keep;
        pos_ -= keep;
    }
    if (held_) feed_->Give(*held_);
    held_.reset();
    if (feed_->Abandoned()) failed_ = true;
    feed_->Leave();
    feed_ = nullptr;
    if (!failed_ && !file_->Seek(base_ + static_cast<int64_t>(end_))) failed_ = true;
}

void Reader::SeekTo(int64_t offset) {
    offset = std::max<int64_t>(offset, 0);
    if (offset >= base_ && offset <= base_ + static_cast<int64_t>(end_)) {
        pos_ = static_cast<size_t>(offset - base_);
        return;
    }
    if (file_ == nullptr) {  // memory: past the end is the end
        pos_ = end_;
        return;
    }
    if (feed_ != nullptr && offset > base_) {  // ahead: the feed's stretches up to it are skipped
        base_ = offset;
        pos_ = end_ = 0;
        return;
    }
    if (feed_ != nullptr) LeaveFeed();
    base_ = offset;
    pos_ = end_ = 0;
    data_ = buffer_.data();
    if (!failed_ && !file_->Seek(offset)) failed_ = true;
}

bool Reader::StartsWith(std::string_view text) {
    return Fill(text.size()) && std::memcmp(data_ + pos_, text.data(), text.size()) == 0;
}

bool Reader::SkipPast(std::string_view text) {
    while (Fill(text.size())) {
        const uint8_t* at = data_ + pos_;
        const uint8_t* last = data_ + end_ - text.size();  // the last place a match can start
        while (at <= last) {
            at = static_cast<const uint8_t*>(
                std::memchr(at, text[0], static_cast<size_t>(last - at) + 1));
            if (at == nullptr) break;
            if (std::memcmp(at, text.data(), text.size()) == 0) {
                pos_ = static_cast<size_t>(at - data_) + text.size();
                return true;
            }
            ++at;
        }
        // Keep what could begin a match cut by the buffer's end.
        pos_ = end_ - (text.size() - 1);
        if (!Fill(text.size())) break;
    }
    pos_ = end_;
    while (Fill(1)) pos_ = end_;  // to the very end
    return false;
}

size_t Reader::ReadInto(uint8_t* dst, size_t max) {
    if (!Fill(1)) return 0;
    const size_t n = std::min(max, end_ - pos_);
    std::memcpy(dst, data_ + pos_, n);
    pos_ += n;
    return n;
}

// --- Tokenizer

void Tokenizer::SkipSpaceAndComments() {
    for (;;) {
        // White space within the bytes at hand is stepped over without a call a byte.
        const uint8_t* p = reader_.Here();
        const uint8_t* const end = p + reader_.Available();
        while (p < end && kClass[*p] == kSpace) ++p;
        reader_.Advance(static_cast<size_t>(p - reader_.Here()));
        const int c = reader_.Peek();
        if (c < 0) return;
        if (IsSpace(c)) {
            reader_.Get();
        } else if (c == '%') {
            for (int d = c; d >= 0 && d != '\n' && d != '\r';) d = reader_.Get();
        } else {
            return;
        }
    }
}

// Appends the regular bytes that follow (up to kMaxWord kept) to `text`.
void Tokenizer::Word(std::string& text) {
    for (;;) {
        const uint8_t* const begin = reader_.Here();
        const uint8_t* const end = begin + reader_.Available();
        const uint8_t* p = begin;
        while (p < end && kClass[*p] == kRegular && *p != '#') ++p;
        const size_t n = static_cast<size_t>(p - begin);
        text.append(reinterpret_cast<const char*>(begin),
                    std::min(n, kMaxWord - std::min(kMaxWord, text.size())));
        reader_.Advance(n);
        if (p < end && kClass[*p] != kRegular) return;
        const int d = reader_.Peek();  // a '#' or the end of the bytes at hand
        if (!IsRegular(d)) return;
        reader_.Get();
        int byte = d;
        if (escapes_ && d == '#' && HexValue(reader_.Peek()) >= 0 &&
            HexValue(reader_.Peek(1)) >= 0) {
            const int high = HexValue(reader_.Get());
            byte = high * 16 + HexValue(reader_.Get());
        }
        if (text.size() < kMaxWord) text += static_cast<char>(byte);
    }
}

bool Tokenizer::LiteralString(std::string& out) {
    int depth = 1;
    auto keep = [&out](int c) {
        if (out.size() < kMaxText) out += static_cast<char>(c);
    };
    for (int c = reader_.Get(); c >= 0 && reader_.Offset() <= limit_; c = reader_.Get()) {
        if (c == ')' && --depth == 0) return true;
        if (c == '(') ++depth;
        if (c != '\\') {
            keep(c);
            continue;
        }
        c = reader_.Get();
        switch (c) {
            case 'n':
                keep('\n');
                break;
            case 'r':
                keep('\r');
                break;
            case 't':
                keep('\t');
                break;
            case 'b':
                keep('\b');
                break;
            case 'f':
                keep('\f');
                break;
            case '\r':  // a line continued: the end of line is not part of the string
                if (reader_.Peek() == '\n') reader_.Get();
                break;
            case '\n':
                break;
            case -1:
                return false;
            default:
                if (c >= '0' && c <= '7') {
                    int code = c - '0';
                    for (int i = 0; i < 2 && reader_.Peek() >= '0' && reader_.Peek() <= '7'; ++i)
                        code = code * 8 + (reader_.Get() - '0');
                    keep(code & 0xFF);
                } else {
                    keep(c);
                }
        }
    }
    return false;
}

void Tokenizer::HexString(std::string& out) {
    int high = -1;
    for (int c = reader_.Get(); c >= 0 && c != '>' && reader_.Offset() <= limit_;
         c = reader_.Get()) {
        const int v = HexValue(c);
        if (v < 0) continue;  // white space, or damage: skipped
        if (high < 0) {
            high = v;
        } else {
            if (out.size() < kMaxText) out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0 && out.size() < kMaxText) out += static_cast<char>(high * 16);
}

Token Tokenizer::Next() {
    Token t;
    Next(t);
    return t;
}

// The commonest token, an unsigned integer of up to 15 digits ended within the bytes at hand,
// read in one step; false (nothing read) for anything else, which the general path reads.
bool Tokenizer::IntegerAtHand(Token& t) {
    const uint8_t* const begin = reader_.Here();
    const uint8_t* const end = begin + reader_.Available();
    const uint8_t* p = begin;
    double v = 0;
    for (; p < end && p - begin < 15 && *p >= '0' && *p <= '9'; ++p) v = v * 10 + (*p - '0');
    if (p == end || kClass[*p] == kRegular) return false;
    reader_.Advance(static_cast<size_t>(p - begin));
    t.kind = Token::Number;
    t.integer = true;
    t.number = v;
    return true;
}

void Tokenizer::Next(Token& t) {
    SkipSpaceAndComments();
    t.kind = Token::End;
    t.integer = false;
    t.number = 0;
    t.text.clear();
    t.cut = false;
    t.offset = reader_.Offset();
    const int c = reader_.Peek();
    if (c < 0) return;
    if (c == '(') {
        reader_.Get();
        t.kind = Token::String;
        t.cut = !LiteralString(t.text);
    } else if (c == '<') {
        reader_.Get();
        if (reader_.Peek() == '<') {
            reader_.Get();
            t.kind = Token::DictOpen;
        } else {
            t.kind = Token::String;
            HexString(t.text);
        }
    } else if (c == '>') {
        reader_.Get();
        if (reader_.Peek() == '>') reader_.Get();
        t.kind = Token::DictClose;  // a lone ">" is damage; closing is the kindest reading
    } else if (c == '[' || c == '{') {
        reader_.Get();
        t.kind = Token::ArrayOpen;  // a function's braces hold numbers and operators
    } else if (c == ']' || c == '}') {
        reader_.Get();
        t.kind = Token::ArrayClose;
    } else if (c == '/') {
        reader_.Get();
        t.kind = Token::Name;
        escapes_ = true;
        Word(t.text);
    } else if (c == ')') {
        reader_.Get();
        t.kind = Token::Keyword;
        t.text = ")";
    } else if (c >= '0' && c <= '9' && IntegerAtHand(t)) {
        return;
    } else {
        t.kind = Token::Keyword;
        escapes_ = false;
        Word(t.text);
        // A number: an optional sign, digits with at most one point, and nothing else.
        const std::string& s = t.text;
        size_t i = s[0] == '+' || s[0] == '-' ? 1 : 0;
        bool digits = false, point = false, number = i < s.size();
        for (; i < s.size() && number; ++i) {
            if (s[i] >= '0' && s[i] <= '9') {
                digits = true;
            } else if (s[i] == '.' && !point) {
                point = true;
            } else {
                number = false;
            }
        }
        if (number && digits) {
            t.kind = Token::Number;
            t.integer = !point;
            if (t.integer && s.size() < 16) {  // most numbers: no need for strtod
                double v = 0;
                for (char d : s)
                    if (d >= '0' && d <= '9') v = v * 10 + (d - '0');
                t.number = s[0] == '-' ? -v : v;
            } else {
                t.number = std::strtod(s.c_str(), nullptr);
            }
        }
    }
}

// --- Value

const Value* Value::Get(std::string_view key) const {
    if (kind != Dict) return nullptr;
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        if (items[i].text == key) return &items[i + 1];
    return nullptr;
}

std::string_view Value::NameOf(std::string_view key) const {
    const Value* v = Get(key);
    return v != nullptr && v->kind == Name ? std::string_view(v->text) : std::string_view();
}

uint32_t Value::RefOf(std::string_view key) const {
    const Value* v = Get(key);
    return v != nullptr && v->kind == Ref ? static_cast<uint32_t>(v->number) : 0;
}

// --- Parser

Parser::Parser(Reader& reader, int64_t maxBytes)
    : reader_(reader), tokenizer_(reader), limit_(reader.Offset() + maxBytes) {
    tokenizer_.Limit(limit_);
}

Token& Parser::Ahead(size_t n) {
    while (count_ <= n) tokenizer_.Next(ahead_[(first_ + count_++) % ahead_.size()]);
    return ahead_[(first_ + n) % ahead_.size()];
}

void Parser::Drop() {
    first_ = (first_ + 1) % ahead_.size();
    --count_;
}

Token Parser::Next() {
    Token t = std::move(Ahead(0));
    Drop();
    return t;
}

void Parser::Unread() {
    if (count_ > 0) reader_.SeekTo(ahead_[first_].offset);
    count_ = 0;
}

bool Parser::ParseValue(Value& out) {
    return Parse(out, 0);
}

// The value that starts at the next token. Tokens are used where they lie in the look-ahead,
// never copied: a job's hundreds of thousands of small dictionaries are most of the reading.
bool Parser::Parse(Value& out, int depth) {
    if (++nodes_ > kMaxNodes || depth > kMaxDepth || reader_.Offset() > limit_) return false;
    Token& token = Ahead(0);
    switch (token.kind) {
        case Token::End:
        case Token::ArrayClose:
        case Token::DictClose:
            return false;
        case Token::String:
        case Token::Name:
            // A string never closed ran over whatever followed it: the value is damage, so the
            // objects it swallowed are looked for again.
            if (token.cut) return false;
            out.kind = token.kind == Token::String ? Value::String : Value::Name;
            out.text.swap(token.text);
            Drop();
            return true;
        case Token::Keyword: {
            Drop();
            if (token.text == "true" || token.text == "false") {
                out.kind = Value::Boolean;
                out.number = token.text == "true" ? 1 : 0;
                return true;
            }
            out.kind = Value::Null;  // null, and operators inside a function's braces
            return token.text != "endobj" && token.text != "stream" && token.text != "obj";
        }
        case Token::Number:
            out.number = token.number;
            out.integer = token.integer;
            // "12 0 R" is a reference to object 12.
            if (token.integer && token.number >= 0 && Ahead(1).kind == Token::Number &&
                Ahead(1).integer && Ahead(2).Is("R")) {
                Drop();
                Drop();
                Drop();
                out.kind = Value::Ref;
                out.integer = false;
                return true;
            }
            Drop();
            out.kind = Value::Number;
            return true;
        case Token::ArrayOpen: {
            Drop();
            out.kind = Value::Array;
            while (Ahead(0).kind != Token::ArrayClose) {
                if (out.items.size() >= kMaxItems) {  // read and dropped
                    Value item;
                    if (!Parse(item, depth + 1)) return false;
                    continue;
                }
                if (!Parse(out.items.emplace_back(), depth + 1)) return false;
            }
            Drop();
            return true;
        }
        case Token::DictOpen: {
            Drop();
            out.kind = Value::Dict;
            out.items.reserve(16);  // a page's dictionary, mostly
            for (Token* key = &Ahead(0); key->kind != Token::DictClose; key = &Ahead(0)) {
                if (key->kind != Token::Name) return false;
                Value& k = out.items.emplace_back();
                k.kind = Value::Name;
                k.text.swap(key->text);
                Drop();
                if (!Parse(out.items.emplace_back(), depth + 1)) return false;
            }
            Drop();
            return true;
        }
    }
    return false;
}

}  // namespace zelk::preflight::pdf
