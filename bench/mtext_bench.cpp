// MTEXT paragraphs per second in the built-in SIMPLEX font, measured and
// drawn to a host that draws nothing: plain wrapped prose, the same prose
// with format codes in every sentence, and stacked fractions. The reader
// alone is timed on the coded paragraph, in tokens per second.
#include "toolkit/display/mtext_layout.h"
#include "tools/renderhost/null_display.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const std::string kProse =
    "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly. "
    "Pack my box with five dozen liquor jugs, then sphinx of black quartz, judge my vow.";
const std::string kCoded =
    "{\\H1.5x;The quick} brown \\C1;fox\\C256; jumps {\\Q15;over} the \\Llazy\\l dog\\Pwhile "
    "{\\W0.8;the five} boxing \\T1.2;wizards\\T1; jump {\\Fromans;quickly}. %%d%%p%%c \\U+00B0";
const std::string kStacks = "Holes \\S1/2; and \\S3/4; deep, \\S1#8; apart, tolerance \\S+0.1^-0.2; mm";

void paragraphs(benchmark::State& run, const std::string& text) {
    NullDisplay display;
    AdMtextData mtext{};
    std::int64_t count = 0;
    for (auto _ : run) {
        std::memset(&mtext, 0, sizeof mtext);
        mtext.xAxis[0] = 1.0;
        mtext.height = 2.5;
        mtext.referenceWidth = 60.0;
        mtext.attachment = 5;
        mtext.lineSpacingStyle = 1;
        mtext.lineSpacingFactor = 1.0;
        std::snprintf(mtext.text, sizeof mtext.text, "%s", text.c_str());
        adDrawMText(display.drawing, &mtext, &adIdentityMatrix, 7, 7, 7, 1);
        benchmark::DoNotOptimize(mtext.extentsHeight);
        ++count;
    }
    run.SetItemsProcessed(count);
    run.counters["paragraphs/s"] = benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsRate);
}

void BM_MTextProse(benchmark::State& run) { paragraphs(run, kProse); }
void BM_MTextCoded(benchmark::State& run) { paragraphs(run, kCoded); }
void BM_MTextStacks(benchmark::State& run) { paragraphs(run, kStacks); }

void BM_MTextTokens(benchmark::State& run) {
    AdDrawing drawing{};
    std::int64_t tokens = 0;
    for (auto _ : run) {
        const char* position = kCoded.c_str();
        AdMTextToken token;
        while (adMTextNextToken(&drawing, &position, 4, nullptr, nullptr, &token)) {
            if (token.character == AD_MTEXT_STACK) adStackSkip(&position, 4);
            ++tokens;
        }
        benchmark::DoNotOptimize(position);
    }
    run.SetItemsProcessed(tokens);
}

BENCHMARK(BM_MTextProse);
BENCHMARK(BM_MTextCoded);
BENCHMARK(BM_MTextStacks);
BENCHMARK(BM_MTextTokens);

}  // namespace
