// What the comparisons with other programs need beside the repository: the
// shared corpus (../shared/data), Python with ezdxf, and exiftool. One place decides
// whether they are at hand, and Python is always the interpreter the build
// found.
#pragma once

#include <cstdlib>
#include <filesystem>
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

// Why exiftool cannot run here (the Windows build runs none of the system's
// programs; no libimage-exiftool-perl); empty when it can.
inline std::string exiftoolSkipReason() {
#ifdef _WIN32
    return "exiftool is a program of the build machine, which the Windows build does not run";
#else
    static const bool exiftool = std::system("exiftool -ver >/dev/null 2>&1") == 0;
    return exiftool ? "" : "exiftool is not installed (libimage-exiftool-perl)";
#endif
}
