// The word-list split against the plain character loop, on every short text over the bytes that
// matter and on long random ones: the split scans 64 bytes at a time, and what decides a cut (a
// run of high bytes before a CR, a CR LF across two blocks) must come out as the loop has it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/core/word_list.h"
#include "reference_split.h"

namespace xl {
namespace {

std::vector<std::string> Entries(const Text& text, std::string_view separator) {
    const WordList list = SplitText(text, separator);
    std::vector<std::string> entries;
    for (std::int64_t i = 1; i <= list.Count(); ++i) entries.emplace_back(list.Entry(i));
    return entries;
}

// Separators the fast scan takes and ones it leaves to the loop: a high byte, a repeated first
// byte, longer ones.
const std::string_view kSeparators[] = {"\r\n", "\r",     "\n\r", "a\r\n",
                                        "\xB0", "\r\xB0", "\r\r", "\r\n\r\n"};

TEST(SplitDifferential, EveryShortTextAcrossTwoBlocks) {
    // The scan takes 64 bytes at a time and carries one thing from a block to the next: whether
    // the next block's first byte is the second of a character. Each of these beginnings ends
    // one way or the other at an even or an odd place, just before the block's last bytes.
    const std::string a(64, 'a'), high(64, '\xB0');
    const std::string beginnings[] = {
        a.substr(0, 58),    a.substr(0, 57),    a.substr(0, 57) + "\xB0", a.substr(0, 56) + "\xB0",
        high.substr(0, 58), high.substr(0, 57), "a" + high.substr(0, 57), "a" + high.substr(0, 56),
    };
    // After each, every text of up to nine bytes over CR, LF and a high byte, so that a CR comes
    // after every run of high bytes at every place up to the next block and into it, and CR LF
    // falls across the two; then enough to make the second block a whole one.
    const char alphabet[] = {'\r', '\n', '\xB0'};
    for (const std::string& beginning : beginnings) {
        for (std::size_t length = 0; length <= 9; ++length) {
            std::vector<int> digits(length, 0);
            for (;;) {
                std::string text = beginning;
                for (int d : digits) text += alphabet[d];
                text += a;
                for (std::string_view separator :
                     {std::string_view("\r\n"), std::string_view("\r"), std::string_view("a\r\n"),
                      std::string_view("\xB0")}) {
                    ASSERT_EQ(Entries(text, separator), testing::ReferenceSplit(text, separator))
                        << ::testing::PrintToString(text);
                }
                // The next text of this length, counting in base 3.
                std::size_t k = 0;
                while (k < length && ++digits[k] == 3) digits[k++] = 0;
                if (k == length) break;
            }
        }
    }
}

TEST(SplitDifferential, LongRandomTexts) {
    // Mostly GBK-like text with line breaks, and now and then a long run of high bytes (longer than
    // a block at times) or of CRs.
    std::mt19937 random(7);
    const char bytes[] = {'\r', '\n', 'a', '\xB0', '\xA1', '\x0D', '\xFF', ','};
    std::uniform_int_distribution<int> pick(0, 7), length(0, 400), run(0, 150);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        const int size = length(random);
        while (static_cast<int>(text.size()) < size) {
            const int b = pick(random);
            if (b == 7) {
                text.append(run(random), round % 2 ? '\xB0' : '\r');
            } else {
                text += bytes[b];
            }
        }
        for (std::string_view separator : kSeparators) {
            ASSERT_EQ(Entries(text, separator), testing::ReferenceSplit(text, separator))
                << ::testing::PrintToString(text) << " at " << ::testing::PrintToString(separator);
        }
    }
}

}  // namespace
}  // namespace xl
