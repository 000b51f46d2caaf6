// What the comparisons with other programs need beside the repository: the
// shared corpus (../shared/data) and Python with ezdxf. One place decides
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
