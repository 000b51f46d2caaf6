// A display state with caching on whose cache window is the whole virtual
// device 32000 x 32000, shown on a 320 x 320 device, recording into its
// lists for a recording host.
#pragma once
#include "toolkit/db/scratch_fixture.h"
#include "toolkit/display/cache.h"
#include "tools/renderhost/recording_host.h"

#include <vector>

class CacheLists : public ScratchFixture {
protected:
    void SetUp() override {
        ASSERT_EQ(adInitRender(), 1);
        host.install();
        state.caching = 1;
        state.cache = AdCacheMapping{0, 0, 32000, 32000, 320, 320};
        state.penColour = -1;
        state.penWidth = -1;
        drawing.display = &state;
        host.setUserData(&drawing);
        ASSERT_EQ(adCacheBeginRecording(&drawing), 1);
        adCacheRewind(&drawing);
        host.clear();
    }
    void TearDown() override {
        adCacheEndRecording(&drawing);
        adCacheFreeSlots(&drawing);
        HostFree(state.cacheRecorder);
        adTermRender();
    }
    // The slot's list so far; its write stream is closed.
    std::vector<std::uint8_t> list(int slot) {
        adCacheCloseSlots(&drawing);
        AdStore* store = state.cacheRecorder->slots[slot].list;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(adStoreSize(store)));
        AdStream* in = adStreamOpenRead(store);
        if (in && !bytes.empty()) adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()));
        adStreamCloseRead(in);
        return bytes;
    }
    RecordingHost host;
    AdDrawing drawing{};
    AdDisplayState state{};
};
