// What adinfo learns about one drawing file.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct DrawingSummary {
    std::string file;
    bool ok = false;
    bool sniffed = false;  // format and version below are known
    const char* format = "";
    std::string version;   // empty when not known
    int versionIndex = -1;
    int error = 0;
    std::string errorText;  // what the error means; empty when there is none
    int stage = -1;         // -1: the error names no load stage
    // Filled only for a loaded drawing.
    std::string acadver;
    std::string handseed;
    std::array<double, 3> extmin{};
    std::array<double, 3> extmax{};
    std::vector<std::pair<const char*, int>> tableCounts;
    std::vector<std::string> layers;
    std::vector<std::string> blocks;
    // Top-level entities per DXF name, for each space and block in table order.
    std::vector<std::pair<std::string, std::map<std::string, int>>> entities;
    std::map<std::string, int> objects;
    // Records the load passed over: code and handle (hex).
    std::vector<std::pair<int, std::string>> skipped;
};

// Sniffs, then loads the file (the toolkit must be started) and closes it.
DrawingSummary summarizeDrawing(const char* name);
