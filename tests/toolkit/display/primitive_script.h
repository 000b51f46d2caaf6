// Hand-written primitive scripts played through the engine's output slots,
// for testing hosts: one command a line,
//   colour N | width N | move X Y | line X Y | polygon X,Y ... | polypolygon X,Y ... | X,Y ...
// (a poly-polygon's contours are separated by "|"). Colours go through the
// colour map and the pen state, so only changes reach the host.
#pragma once
#include "toolkit/display/render_state.h"

#include <sstream>
#include <string>
#include <vector>

inline std::vector<DevicePoint> scriptPoints(std::istringstream& words, std::vector<std::int32_t>* counts) {
    std::vector<DevicePoint> points;
    std::string word;
    std::int32_t count = 0;
    while (words >> word) {
        if (word == "|") {
            if (counts) counts->push_back(count);
            count = 0;
            continue;
        }
        DevicePoint p{};
        const std::size_t comma = word.find(',');
        p.x = std::stoi(word.substr(0, comma));
        p.y = std::stoi(word.substr(comma + 1));
        points.push_back(p);
        ++count;
    }
    if (counts) counts->push_back(count);
    return points;
}

inline void playScript(const std::string& script, AdDrawing* drawing) {
    std::istringstream lines(script);
    std::string line;
    void* user = drawing->userData;
    const AdRenderHooks& hooks = adRender->hooks;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string command;
        if (!(words >> command)) continue;
        if (command == "colour" || command == "width" || command == "move" || command == "line") {
            std::int32_t a = 0, b = 0;
            words >> a >> b;
            if (command == "colour") adSetPenColor(drawing, adMapColor(static_cast<std::int16_t>(a)));
            if (command == "width") adPassPenWidth(drawing, a);
            if (command == "move") hooks.moveTo(a, b, user);
            if (command == "line") hooks.lineTo(a, b, user);
        } else if (command == "polygon") {
            const std::vector<DevicePoint> points = scriptPoints(words, nullptr);
            const std::int16_t range[2] = {0, static_cast<std::int16_t>(points.size() - 1)};
            hooks.polygon(range, points.data(), user);
        } else if (command == "polypolygon") {
            std::vector<std::int32_t> counts;
            const std::vector<DevicePoint> points = scriptPoints(words, &counts);
            hooks.polyPolygon(points.data(), counts.data(), static_cast<std::int32_t>(counts.size()), user);
        }
    }
}
