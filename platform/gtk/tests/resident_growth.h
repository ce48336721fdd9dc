// Tells a resident set that keeps growing from one that rose once and settled, or that goes up
// and down. Samples are taken after equal batches of the same work: a leak adds about the same
// each batch, a cache or the heap's first growth adds once, and the toolkit's own buffers come
// and go by a few hundred KiB from one sample to the next.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace xl::testing {

struct GrowthRule {
    std::size_t warm_up = 0;   // samples left out at the start, while caches fill up
    double kib_per_batch = 0;  // growth slower than this is not counted
};

namespace growth_detail {

inline double Median(std::span<const long> samples) {
    std::vector<long> sorted(samples.begin(), samples.end());
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

}  // namespace growth_detail

// True when the set keeps growing: the samples after the warm-up, cut into three runs of equal
// length (the oldest left over are dropped), have medians that rise from the first run to the
// second and again from the second to the third, each time by more than the rule's rate over the
// run's length. A median looks past single high or low samples; asking for two rises in a row
// looks past one jump. Needs three samples after the warm-up; with fewer it cannot tell and says
// no.
inline bool KeepsGrowing(std::span<const long> samples_kib, const GrowthRule& rule) {
    using growth_detail::Median;
    if (samples_kib.size() < rule.warm_up + 3) return false;
    const std::size_t run = (samples_kib.size() - rule.warm_up) / 3;
    const std::span<const long> last = samples_kib.last(3 * run);
    const double first = Median(last.first(run));
    const double second = Median(last.subspan(run, run));
    const double third = Median(last.last(run));
    const double least = rule.kib_per_batch * static_cast<double>(run);
    return second - first > least && third - second > least;
}

}  // namespace xl::testing
