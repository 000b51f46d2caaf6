// What a script beside the tests writes about the DXF twins of the corpus
// DWG files: it runs with the Python the build found (which has ezdxf) over the
// shared data, and each tab-separated line of its output comes back as its
// fields; argument, when given, is passed on after the two paths. A script
// that fails is a test failure and gives no lines; a test skips first when
// pythonOracleSkipReason() gives a reason.
#pragma once
#include "oracle.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> twinLines(const std::string& script, const std::string& argument = "") {
    TempDir dir;
    const std::filesystem::path path = std::filesystem::path(VT_TEST_SOURCE_DIR) / "toolkit/db" / script;
    const std::filesystem::path output = dir.path() / "twins.txt";
    std::vector<std::string> arguments = {path.string(), VT_SHARED_DATA_DIR, output.string()};
    if (!argument.empty()) arguments.push_back(argument);
    std::vector<std::vector<std::string>> lines;
    if (runPython(arguments) != 0) {
        ADD_FAILURE() << path;
        return lines;
    }
    std::ifstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}
