// The game's three statement patterns on the string store
// (tests/support/statement_patterns.h), each beside the same work done with
// std::string in the same run:
//  1. a printed literal piece;
//  2. a comparison of a variable with a literal;
//  3. a printed number.
// The std::string versions print through a record that views the
// std::string's characters, so both sides do the same screen work. The
// "StoreOnly" pairs leave out make fit, print and number formatting, which
// are the same code on both sides, to show the string handling alone.
// At the end the ratio store / std::string of each pair is printed.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "runtime/numfmt.h"
#include "runtime/pages.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tests/support/statement_patterns.h"

namespace {

const char kPiece[] = "You stand at the rusted gate of the old mine."; // 45 bytes
const char kShortPiece[] = "1) ";
const char kChoice[] = "3";

void setUp() {
    rt::initStringStore();
    rt::selectTextMode0();
}

// Make fit and print of a std::string, through a record viewing its
// characters.
void printViewOf(const std::string& s) {
    rt::RuntimeString v{};
    v.text = const_cast<char*>(s.data());
    v.length = static_cast<std::int32_t>(s.size());
    v.readOnly = 1;
    rt::makeFit(&v);
    rt::print(&v, 0);
}

// ---- Pattern 1 -------------------------------------------------------------

template <const char* Piece> void BM_Pattern1_Store(benchmark::State& state) {
    setUp();
    const auto n = static_cast<std::int32_t>(std::strlen(Piece));
    for (auto _ : state)
        patterns::printPiece(Piece, n);
}

template <const char* Piece> void BM_Pattern1_StdString(benchmark::State& state) {
    setUp();
    const std::size_t n = std::strlen(Piece);
    for (auto _ : state) {
        std::string p;
        p.assign(Piece, n);
        printViewOf(p);
    }
}

template <const char* Piece> void BM_Pattern1_StoreOnly(benchmark::State& state) {
    setUp();
    const auto n = static_cast<std::int32_t>(std::strlen(Piece));
    for (auto _ : state) {
        rt::RuntimeString* p = rt::newString(0, false);
        rt::assign(p, rt::literal(Piece, n));
        benchmark::DoNotOptimize(p->text);
        benchmark::ClobberMemory();
        rt::freeString(p);
    }
}

template <const char* Piece> void BM_Pattern1_StdStringOnly(benchmark::State& state) {
    setUp();
    const std::size_t n = std::strlen(Piece);
    for (auto _ : state) {
        std::string p;
        p.assign(Piece, n);
        benchmark::DoNotOptimize(p.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK_TEMPLATE(BM_Pattern1_Store, kPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StdString, kPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StoreOnly, kPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StdStringOnly, kPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_Store, kShortPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StdString, kShortPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StoreOnly, kShortPiece);
BENCHMARK_TEMPLATE(BM_Pattern1_StdStringOnly, kShortPiece);

// ---- Pattern 2 -------------------------------------------------------------

void BM_Pattern2_Store(benchmark::State& state) {
    setUp();
    rt::RuntimeString* answer = rt::newString(1, false);
    answer->text[0] = '3';
    const std::uint32_t base = rt::temporaryNextIndex();
    std::int64_t hits = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(answer);
        hits += patterns::compare(answer, kChoice, 1, base);
    }
    benchmark::DoNotOptimize(hits);
}

void BM_Pattern2_StdString(benchmark::State& state) {
    std::string answer = "3";
    std::int64_t hits = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(answer);
        const std::string choice(kChoice, 1);
        hits += answer == choice ? -1 : 0;
    }
    benchmark::DoNotOptimize(hits);
}

BENCHMARK(BM_Pattern2_Store);
BENCHMARK(BM_Pattern2_StdString);

// ---- Pattern 3 -------------------------------------------------------------

float nextNumber(float x) {
    return x >= 1000.0f ? 0.0f : x + 25.0f;
}

void BM_Pattern3_Store(benchmark::State& state) {
    setUp();
    const std::uint32_t base = rt::temporaryNextIndex();
    float x = 100.0f;
    for (auto _ : state) {
        patterns::printNumber(x, base);
        x = nextNumber(x);
    }
}

// std::to_chars gives the shortest text, not the game's format; it stands
// for the fastest way std::string code would turn a number into text.
std::string toCharsText(float x) {
    char buffer[32];
    buffer[0] = x < 0 ? '-' : ' ';
    auto r = std::to_chars(buffer + 1, buffer + sizeof buffer, x < 0 ? -x : x);
    return std::string(buffer, r.ptr);
}

// snprintf with the same "% .6E" working format single to text starts from.
std::string snprintfText(float x) {
    char buffer[32];
    int n = std::snprintf(buffer, sizeof buffer, "% .6E", static_cast<double>(x));
    return std::string(buffer, static_cast<std::size_t>(n));
}

template <std::string (*NumberText)(float)> void BM_Pattern3_StdString(benchmark::State& state) {
    setUp();
    float x = 100.0f;
    for (auto _ : state) {
        std::string joined = NumberText(x) + " ";
        std::string p = std::move(joined);
        printViewOf(p);
        x = nextNumber(x);
    }
}

// The string handling of pattern 3 alone: the number text is a ready-made
// temporary (as single to text returns it).
void BM_Pattern3_StoreOnly(benchmark::State& state) {
    setUp();
    const std::uint32_t base = rt::temporaryNextIndex();
    for (auto _ : state) {
        rt::RuntimeString* number = rt::newString(4, true);
        std::memcpy(number->text, " 100", 4);
        rt::RuntimeString* joined = rt::concatenate(number, rt::literal(" ", 1));
        rt::RuntimeString* p = rt::newString(0, false);
        rt::assign(p, joined);
        benchmark::DoNotOptimize(p->text);
        benchmark::ClobberMemory();
        rt::freeString(p);
        rt::releaseTemporaries(base, 0);
    }
}

void BM_Pattern3_StdStringOnly(benchmark::State& state) {
    for (auto _ : state) {
        std::string number(" 100", 4);
        std::string joined = number + " ";
        std::string p = std::move(joined);
        benchmark::DoNotOptimize(p.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Pattern3_Store);
BENCHMARK_TEMPLATE(BM_Pattern3_StdString, toCharsText);
BENCHMARK_TEMPLATE(BM_Pattern3_StdString, snprintfText);
BENCHMARK(BM_Pattern3_StoreOnly);
BENCHMARK(BM_Pattern3_StdStringOnly);

// Prints the usual table, then store / std::string for each pair.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time: on a shared machine the wall clock also counts the time
        // other processes had the core. With repetitions the median counts.
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && times_.count(r.run_name.str()) == 0) {
                times_[r.run_name.str()] = r.GetAdjustedCPUTime();
            } else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
                times_[r.run_name.str()] = r.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nstore / std::string, CPU time (below 1 means the store is faster):\n");
        ratio("BM_Pattern1_Store<kPiece>", "BM_Pattern1_StdString<kPiece>");
        ratio("BM_Pattern1_StoreOnly<kPiece>", "BM_Pattern1_StdStringOnly<kPiece>");
        ratio("BM_Pattern1_Store<kShortPiece>", "BM_Pattern1_StdString<kShortPiece>");
        ratio("BM_Pattern1_StoreOnly<kShortPiece>", "BM_Pattern1_StdStringOnly<kShortPiece>");
        ratio("BM_Pattern2_Store", "BM_Pattern2_StdString");
        ratio("BM_Pattern3_Store", "BM_Pattern3_StdString<toCharsText>");
        ratio("BM_Pattern3_Store", "BM_Pattern3_StdString<snprintfText>");
        ratio("BM_Pattern3_StoreOnly", "BM_Pattern3_StdStringOnly");
    }

  private:
    void ratio(const std::string& store, const std::string& baseline) {
        auto a = times_.find(store);
        auto b = times_.find(baseline);
        if (a == times_.end() || b == times_.end() || b->second <= 0) return;
        std::printf("  %-36s %8.2f ns vs %8.2f ns  %-30s ratio %.2f\n", store.c_str(), a->second,
                    b->second, baseline.c_str(), a->second / b->second);
    }
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
