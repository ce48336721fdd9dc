#include "word_list.h"

#include <bit>
#include <cstring>

#include "runtime_error.h"

namespace xl {

std::string_view WordList::Entry(std::int64_t position) const {
    if (position < 1) RuntimeErrorStop(kErrorIndexBelowOne);
    if (position > Count()) RuntimeErrorStop(kErrorIndexAboveCount);
    const std::size_t i = static_cast<std::size_t>(position - 1);
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1] + separator_size_;
    return std::string_view(storage_).substr(begin, ends_[i] - begin);
}

namespace {

constexpr bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Eight bytes as one word, the first byte lowest, whatever the machine's byte order.
std::uint64_t LoadWord(const char* p) {
    unsigned char b[8];
    std::memcpy(b, p, 8);
    std::uint64_t word = 0;
    for (int k = 7; k >= 0; --k) word = word << 8 | b[k];
    return word;
}

constexpr std::uint64_t kEveryByte = 0x0101010101010101;
constexpr std::uint64_t kTopBits = 0x8080808080808080;

// The top bit of every byte of the word that equals c, exactly: no carry crosses a byte.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (kEveryByte * c);
    return ~(((x & ~kTopBits) + ~kTopBits) | x) & kTopBits;
}

// The top bits of the eight bytes (and no other bit) as the low eight bits, byte k as bit k:
// the multiplication moves each to its place without two ever adding up.
constexpr std::uint64_t PackTopBits(std::uint64_t top_bits) {
    return (top_bits * 0x0002040810204081) >> 56;
}

constexpr std::uint64_t kEvenPlaces = 0x5555555555555555;

// Whether every byte is below 0x80 and the first does not come again: then a match never
// overlaps the next one, and stepping over a match lands where stepping byte by byte would, so
// the character boundaries of the text do not depend on the matches.
bool FitsTheBlockScan(std::string_view separator) {
    for (char c : separator) {
        if (IsLeadByte(c)) return false;
    }
    return separator.find(separator.front(), 1) == std::string_view::npos;
}

class Cutter {
public:
    Cutter(std::string_view text, std::string_view separator, std::vector<std::size_t>& ends)
        : text_(text), separator_(separator), ends_(ends) {}

    // The plain loop, a character at a time from a boundary.
    void Step(std::size_t i) {
        const std::size_t n = text_.size();
        while (i < n) {
            if (MatchesAt(i)) {
                Cut(i);
                i += separator_.size();
            } else {
                i += IsLeadByte(text_[i]) ? 2 : 1;
            }
        }
    }

    // Sixty-four bytes a time, as bit masks with one bit a byte. A byte after one below 0x80
    // always starts a character (that byte was a character of its own or the second of two), so
    // every run of high bytes that follows one starts on a character boundary, and a candidate
    // right after the run is the second byte of a character exactly when the run is odd. Runs
    // that start at even and at odd places are told apart by adding their first bits to the
    // mask of high bytes: the carry runs through each run and comes out right after it, at a
    // place whose parity gives the run's. `second` carries whether a block's first byte is the
    // second of a character. Returns where the plain loop takes over.
    std::size_t ScanBlocks() {
        const char* data = text_.data();
        const std::size_t n = text_.size();
        const unsigned char first = static_cast<unsigned char>(separator_.front());
        std::size_t i = 0;
        std::uint64_t second = 0;
        for (; n - i >= 64; i += 64) {
            std::uint64_t high = 0;
            std::uint64_t found = 0;
            for (int w = 0; w < 8; ++w) {
                const std::uint64_t word = LoadWord(data + i + 8 * w);
                high |= PackTopBits(word & kTopBits) << (8 * w);
                found |= PackTopBits(BytesEqual(word, first)) << (8 * w);
            }
            // A first byte that is the second of a character starts no run.
            const std::uint64_t runs = high & ~second;
            const std::uint64_t starts = runs & ~(runs << 1);
            // Right only at bytes below 0x80, which is all a candidate can be.
            const std::uint64_t after_even_starts = runs + (starts & kEvenPlaces);
            const std::uint64_t after_odd_starts = runs + (starts & ~kEvenPlaces);
            const std::uint64_t seconds =
                (after_even_starts & ~kEvenPlaces) | (after_odd_starts & kEvenPlaces) | second;
            for (std::uint64_t cut = found & ~seconds; cut != 0; cut &= cut - 1) {
                const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(cut));
                if (MatchesAt(at, 1)) Cut(at);
            }
            // A run that reaches the block's end and is odd ends on a first byte.
            second = static_cast<std::uint64_t>(std::countl_one(runs)) & 1;
        }
        return i + second;
    }

    void Finish() {
        if (start_ < text_.size()) ends_.push_back(text_.size());
    }

private:
    // Whether the separator is at i; its first `known` bytes are known to be.
    bool MatchesAt(std::size_t i, std::size_t known = 0) const {
        if (text_.size() - i < separator_.size()) return false;
        for (std::size_t k = known; k < separator_.size(); ++k) {
            if (text_[i + k] != separator_[k]) return false;
        }
        return true;
    }
    void Cut(std::size_t i) {
        ends_.push_back(i);
        start_ = i + separator_.size();
    }

    std::string_view text_;
    std::string_view separator_;
    std::vector<std::size_t>& ends_;
    std::size_t start_ = 0;
};

}  // namespace

WordList SplitText(Text text, std::string_view separator) {
    WordList list;
    if (text.empty()) return list;
    list.separator_size_ = separator.size();
    if (separator.empty()) {
        list.ends_.push_back(text.size());
    } else {
        Cutter cutter(text, separator, list.ends_);
        cutter.Step(FitsTheBlockScan(separator) ? cutter.ScanBlocks() : 0);
        cutter.Finish();
    }
    list.storage_ = std::move(text);
    return list;
}

}  // namespace xl
