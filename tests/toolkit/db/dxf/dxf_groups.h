// Small DXF drawings written group by group for tests that load them whole,
// with the toolkit started and both readers installed, as a host starts it.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"

#include <string>
#include <utility>
#include <vector>

using Groups = std::vector<std::pair<int, std::string>>;

// Groups as an ASCII file holds them: code and value, each on a line.
inline std::string g(const Groups& groups) {
    std::string text;
    for (const auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

inline std::string section(const char* name, const std::string& body) {
    return g({{0, "SECTION"}, {2, name}}) + body + g({{0, "ENDSEC"}});
}

inline std::string hexOf(const AdHandle& h) {
    char text[AD_HANDLE_HEX_SIZE];
    return adHandleToHex(&h, text, sizeof text) ? text : "?";
}

inline AdHandle handle(const char* hex) {
    AdHandle h{};
    adHexToHandle(hex, &h);
    return h;
}

class LoadingDxf : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
    }
    TempDir dir_;
};
