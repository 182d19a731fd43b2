// PDF's object syntax, read from a file in chunks or from bytes in memory: a byte reader, a
// tokenizer and a parser of one object into a small tree. Every limit is checked here, so no
// file, however it is made, makes the reader look past its bytes or keep more than it bounds.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/source_file.h"
#include "preflight/feed.h"

namespace zelk::preflight::pdf {

using preflight::Feed;

// Bytes from a file (from its start, read 64 KiB at a time), from memory, or from the
// stretches of a feed, read where they lie, and from the file once the feed ends or the
// reader must go back further than the bytes at hand.
class Reader {
  public:
    explicit Reader(SourceFile& file);
    Reader(SourceFile& file, Feed& feed);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    Reader(const uint8_t* data, size_t size);

    // The byte `ahead` after the next, or -1 past the end.
    int Peek(size_t ahead = 0) {
        return end_ - pos_ > ahead || Fill(ahead + 1) ? data_[pos_ + ahead] : -1;
    }
    int Get() { return pos_ < end_ || Fill(1) ? data_[pos_++] : -1; }
    int64_t Offset() const { return base_ + static_cast<int64_t>(pos_); }
    void SeekTo(int64_t offset);
    bool StartsWith(std::string_view text);
    // Moves past the next `text`; false, at the end, when there is none.
    bool SkipPast(std::string_view text);
    // Up to `max` bytes into `dst`; the number copied, 0 at the end.
    size_t ReadInto(uint8_t* dst, size_t max);
    bool Failed() const { return failed_; }  // the file refused a read or a seek

    // At least `need` bytes (no more than 256) from the position, false when the end is
    // nearer.
    bool Fill(size_t need);
    // The bytes from the position that are at hand (after Fill), and a step over them.
    const uint8_t* Here() const { return data_ + pos_; }
    size_t Available() const { return end_ - pos_; }
    void Advance(size_t n) { pos_ += std::min(n, end_ - pos_); }
    // The byte `k` before the position (1 is the last one read), -1 when not at hand: the
    // reader keeps at least 64 bytes behind it after each read, except after a far seek.
    int Behind(size_t k) const { return k <= pos_ && k > 0 ? data_[pos_ - k] : -1; }

  private:
    bool FillFromFeed(size_t need);
    void LeaveFeed();  // from here on, the bytes come from the file

    SourceFile* file_ = nullptr;
    Feed* feed_ = nullptr;
    std::optional<Feed::Stretch> held_;  // the feed's stretch the bytes at hand lie in
    std::vector<uint8_t> buffer_;
    const uint8_t* data_ = nullptr;
    size_t pos_ = 0, end_ = 0;
    int64_t base_ = 0;  // the file offset of data_[0]
    bool failed_ = false;
};

struct Token {
    enum Kind : uint8_t {
        End,
        Number,
        String,
        Name,
        Keyword,
        ArrayOpen,
        ArrayClose,
        DictOpen,
        DictClose,
    };
    Kind kind = End;
    bool integer = false;
    double number = 0;
    std::string text;  // a string's bytes, a name without its slash (#xx decoded), a keyword
    int64_t offset = 0;
    bool cut = false;  // a literal string that the file's end or the read limit cut open
    bool Is(std::string_view keyword) const { return kind == Keyword && text == keyword; }
};

class Tokenizer {
  public:
    explicit Tokenizer(Reader& reader) : reader_(reader) {}
    Token Next();
    void Next(Token& t);  // the same into `t`, whose text keeps its room
    // A string is read no further than this offset: an unbalanced "(" in a damaged object
    // must not swallow the rest of the file.
    void Limit(int64_t offset) { limit_ = offset; }

  private:
    void SkipSpaceAndComments();
    void Word(std::string& text);
    bool IntegerAtHand(Token& t);
    bool LiteralString(std::string& out);  // false: never closed
    void HexString(std::string& out);
    Reader& reader_;
    int64_t limit_ = std::numeric_limits<int64_t>::max();
    bool escapes_ = false;  // "#xx" in the word being read stands for a byte (names only)
};

bool IsSpace(int c);
bool IsDelimiter(int c);
bool IsRegular(int c);

struct Value {
    enum Kind : uint8_t { Null, Boolean, Number, String, Name, Array, Dict, Ref };
    Kind kind = Null;
    bool integer = false;
    double number = 0;  // a number's value, true as 1; a reference's object number
    std::string text;
    std::vector<Value> items;  // an array's items; a dictionary's keys and values in turn

    // A dictionary's value for `key`, or nullptr.
    const Value* Get(std::string_view key) const;
    std::string_view NameOf(std::string_view key) const;  // empty when not a name
    uint32_t RefOf(std::string_view key) const;           // 0 when not a reference
    bool Is(Kind k) const { return kind == k; }
    void Clear() {  // to null, keeping the room of the text and of the items
        kind = Null;
        integer = false;
        number = 0;
        text.clear();
        items.clear();
    }
};

// Parses values from a tokenizer, with one object's limits: nesting depth, node count and
// the bytes it may span. Array items past the first 256 are read and dropped.
class Parser {
  public:
    Parser(Reader& reader, int64_t maxBytes);
    bool ParseValue(Value& out);  // false when the syntax is broken or a limit was reached
    Token Next();
    // Puts the reader back before every token read ahead and not yet used.
    void Unread();

  private:
    bool Parse(Value& out, int depth);
    Token& Ahead(size_t n);
    void Drop();  // forgets the first token read ahead

    Reader& reader_;
    Tokenizer tokenizer_;
    std::array<Token, 3> ahead_;  // "12 0 R" is the most a value looks at before using it
    size_t first_ = 0, count_ = 0;
    int64_t limit_;
    int64_t nodes_ = 0;
};

}  // namespace zelk::preflight::pdf
