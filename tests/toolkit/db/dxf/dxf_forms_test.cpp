// One drawing written by ezdxf as ASCII and as binary DXF, at R12 and at
// R2000, must load into the same database whatever its form: the summaries
// adinfo prints of both forms agree in everything but the file's name and
// form.
#include "oracle.h"
#include "toolkit/db/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

struct Form {
    const char* stem;
    const char* version;
};

class DxfForms : public testing::TestWithParam<Form> {};

#ifdef _WIN32
TEST_P(DxfForms, AsciiAndBinaryLoadAlike) {
    GTEST_SKIP() << "the drawing is written by Python's ezdxf, which the Windows build does not run";
}
#else
// The script's answer when ezdxf is not installed.
constexpr int kNoEzdxf = 77;

// adinfo is built beside the tests: <build>/tools/adinfo/adinfo.
std::filesystem::path adinfoPath() {
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    return self.parent_path().parent_path() / "tools" / "adinfo" / "adinfo";
}

std::string run(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// The JSON line without its "file" and "format" members, the two that tell
// the forms apart.
std::string withoutNameAndForm(std::string json) {
    for (const char* key : {"\"file\":", "\"format\":"}) {
        const std::size_t at = json.find(key);
        if (at == std::string::npos) return "missing " + std::string(key) + " in " + json;
        const std::size_t comma = json.find(',', at);
        json.erase(at, comma + 1 - at);
    }
    return json;
}

TEST_P(DxfForms, AsciiAndBinaryLoadAlike) {
    const std::filesystem::path adinfo = adinfoPath();
    if (!std::filesystem::exists(adinfo)) GTEST_SKIP() << "adinfo is not built at " << adinfo;
    TempDir dir;
    const std::filesystem::path script = std::filesystem::path(VT_TEST_SOURCE_DIR) / "toolkit/db/dxf/dxf_forms_drawing.py";
    const int status = runPython({script.string(), dir.path().string()});
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoEzdxf) GTEST_SKIP() << "ezdxf is not installed";
    ASSERT_EQ(status, 0) << script;

    const std::string stem = (dir.path() / GetParam().stem).string();
    const std::string ascii = run("'" + adinfo.string() + "' --json '" + stem + ".dxf'");
    const std::string binary = run("'" + adinfo.string() + "' --json '" + stem + ".dxb'");
    ASSERT_NE(ascii.find("\"ok\":true"), std::string::npos) << ascii;
    ASSERT_NE(ascii.find(std::string("\"version\":\"") + GetParam().version + "\""), std::string::npos) << ascii;
    EXPECT_NE(ascii.find("\"format\":\"dxf\""), std::string::npos) << ascii;
    EXPECT_NE(binary.find("\"format\":\"dxb\""), std::string::npos) << binary;
    EXPECT_EQ(withoutNameAndForm(ascii), withoutNameAndForm(binary));
}
#endif

INSTANTIATE_TEST_SUITE_P(Dxf, DxfForms, testing::Values(Form{"r12", "AC1009"}, Form{"r2000", "AC1015"}),
                         [](const testing::TestParamInfo<Form>& info) { return std::string(info.param.stem); });

}  // namespace
