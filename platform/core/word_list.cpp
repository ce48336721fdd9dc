#include "word_list.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// One block of sixty-four bytes as masks, byte k as bit k.
struct BlockMasks {
    std::uint64_t high;    // bytes of 0x80 and above
    std::uint64_t first;   // bytes equal to the separator's first byte
    std::uint64_t second;  // bytes equal to its second byte (all of them for a one-byte separator)
};

#if defined(__SSE2__)
// SSE2, which every x86-64 machine has, gives a mask of sixteen bytes in one instruction.
BlockMasks ScanBlock(const char* p, std::string_view separator) {
    const __m128i first = _mm_set1_epi8(separator[0]);
    const __m128i second = _mm_set1_epi8(separator.size() > 1 ? separator[1] : 0);
    BlockMasks masks{0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const auto mask = [](__m128i m) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))};
        };
        masks.high |= mask(bytes) << (16 * k);
        masks.first |= mask(_mm_cmpeq_epi8(bytes, first)) << (16 * k);
        masks.second |= mask(_mm_cmpeq_epi8(bytes, second)) << (16 * k);
    }
    if (separator.size() == 1) masks.second = ~std::uint64_t{0};
    return masks;
}
#else
// Elsewhere eight bytes at a time as one word, the first byte lowest whatever the byte order.
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

BlockMasks ScanBlock(const char* p, std::string_view separator) {
    const auto first = static_cast<unsigned char>(separator[0]);
    const auto second = static_cast<unsigned char>(separator.size() > 1 ? separator[1] : 0);
    BlockMasks masks{0, 0, 0};
    for (int w = 0; w < 8; ++w) {
        const std::uint64_t word = LoadWord(p + 8 * w);
        masks.high |= PackTopBits(word & kTopBits) << (8 * w);
        masks.first |= PackTopBits(BytesEqual(word, first)) << (8 * w);
        masks.second |= PackTopBits(BytesEqual(word, second)) << (8 * w);
    }
    if (separator.size() == 1) masks.second = ~std::uint64_t{0};
    return masks;
}
#endif

constexpr std::uint64_t kEvenPlaces = 0x5555555555555555;

// std::popcount without the POPCNT instruction, which the x86-64 baseline lacks, is a call into
// the compiler's runtime; inline, it is a dozen instructions.
constexpr int CountBits(std::uint64_t x) {
    x -= (x >> 1) & kEvenPlaces;
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<int>((x * 0x0101010101010101) >> 56);
}

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
                MakeRoom(1);
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
        std::size_t i = 0;
        std::uint64_t second = 0;
        for (; n - i >= 64; i += 64) {
            const BlockMasks masks = ScanBlock(data + i, separator_);
            // A first byte that is the second of a character starts no run.
            const std::uint64_t runs = masks.high & ~second;
            const std::uint64_t starts = runs & ~(runs << 1);
            // Right only at bytes below 0x80, which is all a candidate can be.
            const std::uint64_t after_even_starts = runs + (starts & kEvenPlaces);
            const std::uint64_t after_odd_starts = runs + (starts & ~kEvenPlaces);
            const std::uint64_t seconds =
                (after_even_starts & ~kEvenPlaces) | (after_odd_starts & kEvenPlaces) | second;
            // The separator's second byte at the next place; for the last byte of the block, the
            // first byte of the next.
            const bool next_block_goes_on =
                separator_.size() == 1 || (n - i > 64 && data[i + 64] == separator_[1]);
            const std::uint64_t followed = masks.second >> 1 | std::uint64_t{next_block_goes_on}
                                                                   << 63;
            const std::uint64_t cuts = masks.first & followed & ~seconds;
            if (separator_.size() <= 2) {
                CutAll(i, cuts);
            } else {
                CutMatching(i, cuts);
            }
            // A run that reaches the block's end and is odd ends on a first byte.
            second = static_cast<std::uint64_t>(std::countl_one(runs)) & 1;
        }
        return i + second;
    }

    void Finish() {
        if (start_ < text_.size()) {
            MakeRoom(1);
            Cut(text_.size());
        }
        ends_.resize(used_);
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

    // `ends_` runs ahead of the entries found, so that a block's cuts are stored without a check
    // for each; Finish cuts it back.
    void MakeRoom(std::size_t more) {
        if (ends_.size() - used_ < more) ends_.resize(std::max(2 * ends_.size(), used_ + more));
    }
    void Cut(std::size_t i) {
        ends_[used_++] = i;
        start_ = i + separator_.size();
    }

    // Every cut of the block, eight at a time: a block of a list of short entries has five or
    // so, so the loop runs once and its branch goes the same way each time. Places past the last
    // cut, at most 64 in all, get junk that is never counted.
    void CutAll(std::size_t block, std::uint64_t cuts) {
        if (cuts == 0) return;
        MakeRoom(64);
        std::size_t* out = ends_.data() + used_;
        used_ += static_cast<std::size_t>(CountBits(cuts));
        start_ = block + 63 - static_cast<std::size_t>(std::countl_zero(cuts)) + separator_.size();
        while (cuts != 0) {
            for (int k = 0; k < 8; ++k) {
                out[k] = block + static_cast<std::size_t>(std::countr_zero(cuts));
                cuts &= cuts - 1;
            }
            out += 8;
        }
    }
    // The cuts whose separator goes on as it should past its first two bytes.
    void CutMatching(std::size_t block, std::uint64_t cuts) {
        if (cuts == 0) return;
        MakeRoom(64);
        for (; cuts != 0; cuts &= cuts - 1) {
            const std::size_t at = block + static_cast<std::size_t>(std::countr_zero(cuts));
            if (MatchesAt(at, 2)) Cut(at);
        }
    }

    std::string_view text_;
    std::string_view separator_;
    std::vector<std::size_t>& ends_;
    std::size_t used_ = 0;
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
