// Whole draws of the small DXF drawings under tests/data/display/dispatch
// through the recording host, and the lines of one kind in what it recorded.
#pragma once
#include "displayed_drawing.h"

#include "toolkit/display/dispatch.h"
#include "tools/renderhost/recording_host.h"

#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> lines(const std::string& stream, const std::string& word) {
    std::vector<std::string> out;
    std::istringstream in(stream);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(word, 0) == 0) out.push_back(line);
    return out;
}

class Dispatch : public DisplayedDrawing {
protected:
    // Opens the fixture and shows the window (0, 0)..(30, 30) in a 300 by
    // 300 device: 10 device units a drawing unit.
    bool open(const char* name) {
        const std::int32_t rect[4] = {0, 0, 300, 300};
        AdViewRecord view{};
        if (!begin(displayDataDir() + "dispatch/" + name, rect, &view)) return false;
        view = AdViewRecord{{0, 0, 1, 0}, {15, 15, 0, 1}, {0, 1, 0, 0}, 30, 30};
        adMakeViewTransform(d, &view, rect, nullptr);
        host.install();
        host.setUserData(d);
        return true;
    }
    std::string draw() {
        host.clear();
        adDrawDrawing(d);
        return host.stream();
    }
    RecordingHost host;
};

