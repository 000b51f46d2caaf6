// The GIF run-length compressor. It never builds a table of its own: it sends
// codes so that a standard LZW decoder's table, which gains one entry per code
// after a clear, comes to hold runs of one pixel (code r0 + k - 2 for a run of
// k once k - 1 codes of that pixel were sent), and then uses those entries.
#include "imaging/gif/gif_codec.h"

namespace {

class RleCoder {
public:
    RleCoder(GifCodeWriter& out, std::uint32_t codeSize)
        : Out(out), Clear(1u << codeSize), RunBase(Clear + 2), InitialWidth(codeSize + 1), InitialGrowth(Clear - 1),
          InitialClearAt(InitialWidth <= 3 ? 9 : Clear - 2), MaxCodes(4093 - Clear) {}

    bool Run(GifPixelWalker& pixels) {
        Reset();
        Out.Put(Clear, Width);
        for (;;) {
            const int pixel = pixels.Next();
            if (RunLength > 0 && pixel != RunPixel) Flush();
            if (pixel < 0) break;
            if (pixel == RunPixel) {
                ++RunLength;
            } else {
                RunPixel = pixel;
                RunLength = 1;
            }
        }
        Out.Put(Clear + 1, Width);
        return Out.Finish();
    }

private:
    void Reset() {
        Width = InitialWidth;
        GrowthAt = InitialGrowth;
        ClearAt = InitialClearAt;
        Count = 0;
        TableRun = 0;
        JustCleared = true;
    }

    void SendClear() {
        Out.Put(Clear, Width);
        Reset();
    }

    void SendPlain(std::uint32_t code) {
        JustCleared = false;
        Out.Put(code, Width);
        ++Count;
        if (Count >= GrowthAt) {
            ++Width;
            GrowthAt += 1u << (Width - 1);
        }
        if (Count >= ClearAt) SendClear();
    }

    void RestoreClearPoint() {
        ClearAt = InitialClearAt;
        if (Count >= ClearAt) SendClear();
    }

    // Codes a run of n needs when the table can grow to MaxCodes entries:
    // runs of 1, 2, 3, ... while they fit.
    std::uint32_t TriangleCost(std::uint32_t n) const {
        std::uint32_t cost = 0;
        const std::uint32_t perRepeat = MaxCodes * (MaxCodes + 1) / 2;
        while (n >= perRepeat) {
            cost += MaxCodes;
            n -= perRepeat;
        }
        if (n > 0) {
            std::uint32_t k = IntegerSquareRoot(n);
            while (k * (k + 1) >= 2 * n) --k;
            while (k * (k + 1) < 2 * n) ++k;
            cost += k;
        }
        return cost;
    }

    static std::uint32_t IntegerSquareRoot(std::uint32_t x) {
        if (x < 2) return x;
        std::uint32_t root = 1;
        for (std::uint32_t v = x; v; v >>= 2) root <<= 1;
        for (;;) {
            const std::uint32_t next = (x / root + root) / 2;
            if (next == root || next == root + 1) return root;
            root = next;
        }
    }

    void RunsAfterClear(std::uint32_t n) {
        ClearAt = MaxCodes;
        TablePixel = RunPixel;
        std::uint32_t k = 1;
        while (n > 0) {
            if (k == 1) {
                TableRun = 1;
                SendPlain(RunPixel);
                --n;
            } else if (n >= k) {
                TableRun = k;
                SendPlain(RunBase + k - 2);
                n -= k;
            } else if (n == 1) {
                ++TableRun;
                SendPlain(RunPixel);
                n = 0;
            } else {
                ++TableRun;
                SendPlain(RunBase + n - 2);
                n = 0;
            }
            k = Count == 0 ? 1 : k + 1;
        }
        RestoreClearPoint();
    }

    void RunsFromTable(std::uint32_t n) {
        std::uint32_t repeats = n / TableRun, leftover = n % TableRun;
        std::uint32_t leftoverCost = leftover ? 1 : 0;
        if (Count + repeats + leftoverCost > MaxCodes) {
            repeats = MaxCodes - Count;
            leftover = n - repeats * TableRun;
            leftoverCost = 1 + TriangleCost(leftover);
        }
        if (1 + TriangleCost(n) < repeats + leftoverCost) {
            SendClear();
            RunsAfterClear(n);
            return;
        }
        ClearAt = MaxCodes;
        for (; repeats > 0; --repeats) SendPlain(RunBase + TableRun - 2);
        if (leftover) {
            if (JustCleared) RunsAfterClear(leftover);
            else if (leftover == 1) SendPlain(RunPixel);
            else SendPlain(RunBase + leftover - 2);
        }
        RestoreClearPoint();
    }

    void RunsPlainOrClear(std::uint32_t n) {
        if (TriangleCost(n) + 1 < n) {
            SendClear();
            RunsAfterClear(n);
            return;
        }
        for (; n > 0; --n) SendPlain(RunPixel);
    }

    void Flush() {
        if (RunLength == 1) SendPlain(RunPixel);
        else if (JustCleared) RunsAfterClear(RunLength);
        else if (TableRun < 2 || TablePixel != RunPixel) RunsPlainOrClear(RunLength);
        else RunsFromTable(RunLength);
        RunLength = 0;
    }

    GifCodeWriter& Out;
    const std::uint32_t Clear, RunBase, InitialWidth, InitialGrowth, InitialClearAt, MaxCodes;
    std::uint32_t Width = 0, GrowthAt = 0, ClearAt = 0, Count = 0, TableRun = 0;
    int RunPixel = 0, TablePixel = 0;
    std::uint32_t RunLength = 0;
    bool JustCleared = true;
};

}  // namespace

bool CompressGifRle(GifPixelWalker& pixels, std::uint32_t codeSize, GifCodeWriter& out) {
    return RleCoder(out, codeSize).Run(pixels);
}
