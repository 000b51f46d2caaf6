// What the comparisons with other programs need beside the repository: the
// shared corpus (../shared/data), Python with ezdxf, exiftool and GDAL's
// ogrinfo. One place decides whether they are at hand, and Python is always
// the interpreter the build found.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// Why the shared corpus cannot be read here; empty when it can.
inline std::string sharedDataSkipReason() {
    if (std::filesystem::is_directory(VT_SHARED_DATA_DIR)) return "";
    return std::string("no shared data at ") + VT_SHARED_DATA_DIR;
}

// Runs the build's Python with the arguments; the exit status of std::system.
inline int runPython(const std::vector<std::string>& arguments) {
    std::string command = std::string("'") + VT_PYTHON + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    return std::system(command.c_str());
}

// Why the ezdxf oracle cannot run here (the Windows build runs no Python; no
// python3-ezdxf; no shared data); empty when it can.
inline std::string pythonOracleSkipReason() {
#ifdef _WIN32
    return "ezdxf runs with the system's Python, which the Windows build does not run";
#else
    static const bool ezdxf = runPython({"-c", "import ezdxf"}) == 0;
    if (!ezdxf) return "python3-ezdxf is not installed";
    return sharedDataSkipReason();
#endif
}

// Why a program of the build machine cannot be run here (the Windows build
// runs none of them; probe fails when it is not installed); empty when it can.
inline std::string hostProgramSkipReason([[maybe_unused]] const char* name, [[maybe_unused]] const char* probe,
                                         [[maybe_unused]] const char* missing) {
#ifdef _WIN32
    return std::string(name) + " is a program of the build machine, which the Windows build does not run";
#else
    return std::system(probe) == 0 ? "" : missing;
#endif
}

inline std::string exiftoolSkipReason() {
    static const std::string reason =
        hostProgramSkipReason("exiftool", "exiftool -ver >/dev/null 2>&1", "exiftool is not installed (libimage-exiftool-perl)");
    return reason;
}

inline std::string ogrinfoSkipReason() {
    static const std::string reason =
        hostProgramSkipReason("ogrinfo", "ogrinfo --version >/dev/null 2>&1", "gdal-bin's ogrinfo is not installed");
    return reason;
}

// What GDAL reads from a drawing: whether its DWG driver ("CAD") opened the
// file, and the feature count of each layer.
struct GdalFeatures {
    bool opened = false;
    std::map<std::string, long> counts;
};

// ogrinfo's summary of the file; report is a scratch file for its output.
inline GdalFeatures gdalFeatures(const std::string& path, const std::string& report) {
    GdalFeatures features;
    const std::string command = "ogrinfo -ro -al -so '" + path + "' > '" + report + "' 2>&1";
    if (std::system(command.c_str()) != 0) return features;
    std::ifstream in(report);
    std::string line;
    std::string layer;
    const std::string layerMark = "Layer name: ";
    const std::string countMark = "Feature Count: ";
    while (std::getline(in, line)) {
        if (line.find("using driver `CAD' successful") != std::string::npos) features.opened = true;
        if (line.rfind(layerMark, 0) == 0) layer = line.substr(layerMark.size());
        if (line.rfind(countMark, 0) == 0) features.counts[layer] = std::stol(line.substr(countMark.size()));
    }
    return features;
}
