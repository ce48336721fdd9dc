// The cost of the word lists: a press of 生成 against only reading its four files, with the
// default lists and with four large ones, and the split against a plain memchr scan. Each pair is
// measured in the same run, so the table's ratios hold on any machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "generator/generate_sentence.h"
#include "platform/core/platform.h"
#include "platform/core/word_list.h"
#include "platform/headless/headless_backend.h"
#include "platform/posix/posix_files.h"
#include "resources/default_lists.h"
#include "resources/layouts.h"

namespace xl {
namespace {

namespace fs = std::filesystem;

// GBK names, as the program spells them.
const std::array<const char*, 4> kListFiles = {"形容词.txt", "人名.txt", "地点.txt", "事件.txt"};

// A run directory holding the four list files, removed at exit.
class ListDirectory {
public:
    explicit ListDirectory(const std::array<std::string, 4>& contents) {
        std::string pattern = (fs::temp_directory_path() / "xl-bench-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        Use();
        for (std::size_t i = 0; i < kListFiles.size(); ++i) {
            platform::WriteWholeFile(platform::PathBesideProgram(kListFiles[i]), contents[i]);
            paths_[i] = platform::PathBesideProgram(kListFiles[i]);
        }
    }
    ListDirectory(const ListDirectory&) = delete;
    ListDirectory& operator=(const ListDirectory&) = delete;
    ~ListDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    void Use() const { posix::UseRunDirectory(path_ + "/"); }
    const std::array<Text, 4>& paths() const { return paths_; }

private:
    std::string path_;
    std::array<Text, 4> paths_;
};

// A million entries of three to seven GB2312 characters each, CR LF between them: about 12 MB.
std::string LargeList(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> length(3, 7), lead(0xB0, 0xD7), trail(0xA1, 0xFE);
    std::string text;
    text.reserve(12'500'000);
    for (int entry = 0; entry < 1'000'000; ++entry) {
        if (entry > 0) text += "\r\n";
        for (int n = length(random); n > 0; --n) {
            text += static_cast<char>(lead(random));
            text += static_cast<char>(trail(random));
        }
    }
    return text;
}

const ListDirectory& DefaultLists() {
    static const ListDirectory dir({std::string(kDefaultAdjectiveText),
                                    std::string(kDefaultNameText), std::string(kDefaultPlaceText),
                                    std::string(kDefaultEventText)});
    return dir;
}

const ListDirectory& LargeLists() {
    static const ListDirectory dir({LargeList(1), LargeList(2), LargeList(3), LargeList(4)});
    return dir;
}

void Press(benchmark::State& state, const ListDirectory& dir) {
    dir.Use();
    for (auto _ : state) GenerateSentence();
}

void ReadOnly(benchmark::State& state, const ListDirectory& dir) {
    dir.Use();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (const Text& path : dir.paths()) {
            platform::FileContents contents = platform::ReadWholeFile(path);
            benchmark::DoNotOptimize(contents.bytes.data());
            bytes += static_cast<std::int64_t>(contents.bytes.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

void PressDefaultLists(benchmark::State& state) { Press(state, DefaultLists()); }
void ReadDefaultLists(benchmark::State& state) { ReadOnly(state, DefaultLists()); }
void PressLargeLists(benchmark::State& state) { Press(state, LargeLists()); }
void ReadLargeLists(benchmark::State& state) { ReadOnly(state, LargeLists()); }

const Text& LargeText() {
    static const Text text = LargeList(1);
    return text;
}

// The large list's bytes with every CR LF made two characters of an entry: one entry, so the
// split's scan alone, without the storing of a million entry ends.
const Text& LargeTextWithoutBreaks() {
    static const Text text = [] {
        Text t = LargeText();
        for (std::size_t i = t.find("\r\n"); i != Text::npos; i = t.find("\r\n", i)) {
            t.replace(i, 2, "\xB0\xA1");
        }
        return t;
    }();
    return text;
}

void Split(benchmark::State& state, const Text& source) {
    for (auto _ : state) {
        // The split takes its text by value; the copy and the list's release are not its work.
        state.PauseTiming();
        Text text = source;
        state.ResumeTiming();
        WordList list = SplitText(std::move(text), "\r\n");
        benchmark::DoNotOptimize(list.Count());
        state.PauseTiming();
        list = WordList();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void SplitLargeList(benchmark::State& state) { Split(state, LargeText()); }
void SplitWithoutBreaks(benchmark::State& state) { Split(state, LargeTextWithoutBreaks()); }

void MemchrLargeList(benchmark::State& state) {
    const Text& text = LargeText();
    for (auto _ : state) {
        std::size_t found = 0;
        const char* p = text.data();
        const char* const end = p + text.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\r', end - p)))) {
            ++found;
            ++p;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

BENCHMARK(PressDefaultLists)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadDefaultLists)->Unit(benchmark::kMicrosecond);
BENCHMARK(PressLargeLists)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadLargeLists)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitLargeList)->Unit(benchmark::kMillisecond);
BENCHMARK(SplitWithoutBreaks)->Unit(benchmark::kMillisecond);
BENCHMARK(MemchrLargeList)->Unit(benchmark::kMillisecond);

// One line of the table: a measurement, its baseline, and the ratio it should keep.
struct Line {
    const char* what;
    const char* subject;
    const char* baseline;
    bool throughput;  // compare MB/s (higher is better) instead of time
    double target;    // the most the time ratio may be, or the least the throughput ratio; 0: none
};
constexpr Line kLines[] = {
    {"press of Generate, default lists vs raw read of the 4 files", "PressDefaultLists",
     "ReadDefaultLists", false, 1.2},
    {"press of Generate, 4 lists of 1e6 entries vs raw read", "PressLargeLists", "ReadLargeLists",
     false, 2.0},
    {"split of a 12 MB list vs memchr for CR (MB/s)", "SplitLargeList", "MemchrLargeList", true,
     0.5},
    // What the press's split costs without a million entry ends to store, against the read.
    {"split without line breaks vs reading 4 lists (MB/s)", "SplitWithoutBreaks", "ReadLargeLists",
     true, 0},
};

// Prints the usual report and keeps each benchmark's median, for the table at the end.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            Median& m = medians_[run.run_name.function_name];
            m.seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            auto bytes = run.counters.find("bytes_per_second");
            m.mb_per_s = bytes == run.counters.end() ? 0 : bytes->second.value / 1e6;
        }
    }

    void PrintTable() const {
        std::printf("\n%-58s %14s %14s %8s %s\n", "", "measured", "baseline", "ratio", "target");
        for (const Line& line : kLines) {
            auto s = medians_.find(line.subject), b = medians_.find(line.baseline);
            if (s == medians_.end() || b == medians_.end()) continue;
            std::string subject, baseline;
            double ratio;
            if (line.throughput) {
                subject = Format(s->second.mb_per_s, "MB/s");
                baseline = Format(b->second.mb_per_s, "MB/s");
                ratio = s->second.mb_per_s / b->second.mb_per_s;
            } else {
                subject = Time(s->second.seconds);
                baseline = Time(b->second.seconds);
                ratio = s->second.seconds / b->second.seconds;
            }
            std::printf("%-58s %14s %14s %7.2fx", line.what, subject.c_str(), baseline.c_str(),
                        ratio);
            if (line.target > 0) {
                const bool met = line.throughput ? ratio >= line.target : ratio <= line.target;
                std::printf(" %s %.2fx %s", line.throughput ? ">=" : "<=", line.target,
                            met ? "met" : "MISSED");
            }
            std::printf("\n");
        }
    }

private:
    struct Median {
        double seconds = 0;
        double mb_per_s = 0;
    };
    static std::string Format(double value, const char* unit) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.1f %s", value, unit);
        return buffer;
    }
    static std::string Time(double seconds) {
        return seconds < 1e-3 ? Format(seconds * 1e6, "us") : Format(seconds * 1e3, "ms");
    }
    std::map<std::string, Median> medians_;
};

}  // namespace
}  // namespace xl

int main(int argc, char** argv) {
    // Repeated in random order, so that a slow moment of the machine falls on both sides of a
    // ratio; the table takes medians. Flags given on the command line come later and win.
    std::vector<char*> args = {argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=7",
                              "--benchmark_enable_random_interleaving=true",
                              "--benchmark_display_aggregates_only=true"};
    for (std::string& flag : defaults) args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    xl::headless::Open(xl::layout::kMainWindow);
    xl::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
