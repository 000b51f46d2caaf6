// The save entry: what a writer finds when it runs, and that the drawing is
// as it was afterwards, whatever the writer did.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {
// What the stand-in writer saw and how it answers.
struct WriterView {
    int calls = 0;
    std::int16_t sourceVersion = -1;
    std::uint8_t format = 0;
    std::string acadver;
    std::string handseed;
    std::string dump;
    std::string styleName;
    int answer = 1;
    bool writeSomething = false;
};
WriterView view;

int standIn(AdDrawing* source, AdOutputDrawing* output, AdSaveWork* work) {
    ++view.calls;
    view.sourceVersion = adDrawingVersion(source);
    view.format = output->format;
    view.acadver = output->header->acadver;
    view.handseed = hex(output->header->handseed);
    view.dump = dumpDrawing(source);
    view.styleName = output->firstStyleName;
    EXPECT_NE(work->entityHeader, nullptr);
    EXPECT_NE(work->tableRecord, nullptr);
    EXPECT_EQ(work->precision, 6);
    if (view.writeSomething) HostPuts("partial", output->file);
    if (view.answer) {
        HostClose(output->file);
        output->file = nullptr;
    } else {
        adSetError(4242);
    }
    return view.answer;
}

std::vector<std::int32_t> progress;
void noteProgress(std::int32_t percent) { progress.push_back(percent); }

class SaveEntry : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
        saved_ = adSaveWriters;
        adSaveWriters = {standIn, standIn, standIn, standIn};
        view = WriterView{};
        progress.clear();
        adSetSaveProgressHook(noteProgress);
    }
    void TearDown() override {
        adSaveWriters = saved_;
        adSetSaveProgressHook(nullptr);
        StartedToolkit::TearDown();
    }
    AdDrawing* openFixture() {
        const std::string path = std::string(VT_TEST_DATA_DIR) + "/write/round_trip_entry.dxf";
        AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 0);
        EXPECT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
        return drawing;
    }
    std::string out(const char* name) { return (dir_.path() / name).string(); }
    TempDir dir_;
    AdSaveWriters saved_;
};

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(SaveEntry, DowngradeWritesWithoutTheRoundTripEntryAndPutsItBackLast) {
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    const std::string before = dumpDrawing(drawing);
    ASSERT_NE(before.find("ENTRY ACDBHEADERROUNDTRIPXREC E"), std::string::npos) << before;

    ASSERT_EQ(adSaveDrawing(drawing, out("a.dxf").c_str(), 1, 6, 1, 6, 0, 1), 1);
    EXPECT_EQ(view.calls, 1);
    EXPECT_EQ(view.sourceVersion, 6);
    EXPECT_EQ(view.acadver, "AC1014");
    EXPECT_EQ(view.dump.find("ACDBHEADERROUNDTRIPXREC"), std::string::npos) << view.dump;
    EXPECT_EQ(view.dump.find("OBJECT 32 E "), std::string::npos) << "the entry's dictionary is detached";
    EXPECT_EQ(view.dump.find(" F owner"), std::string::npos) << "and the object inside it";

    const std::string after = dumpDrawing(drawing);
    EXPECT_EQ(adDrawingVersion(drawing), 7);
    // Everything is back; the detached objects come last, children first,
    // and the entry is the root's last.
    EXPECT_EQ(sortedLines(after), sortedLines(before));
    EXPECT_NE(after.find("ENTRY ACDBHEADERROUNDTRIPXREC E\nOBJECT 32 D"), std::string::npos) << after;
    const std::string tail = "OBJECT 500 F owner E\nOBJECT 32 E owner C\n  ENTRY INNER F\n";
    ASSERT_GT(after.size(), tail.size());
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, SavingAtItsOwnVersionLeavesTheRootAlone) {
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    ASSERT_EQ(adSaveDrawing(drawing, out("a.dxf").c_str(), 2, 7, 1, 6, 0, 1), 1);
    EXPECT_NE(view.dump.find("ACDBHEADERROUNDTRIPXREC"), std::string::npos);
    EXPECT_EQ(view.format, 2) << "a binary request reaches the writer as it came";
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, AFailingWriterFailsTheSaveAndRestoresTheDrawing) {
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    const std::string before = dumpDrawing(drawing);
    view.answer = 0;
    view.writeSomething = true;
    const std::string path = out("fail.dxf");
    EXPECT_EQ(adSaveDrawing(drawing, path.c_str(), 0, 4, 1, 6, 0, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, 4242);
    EXPECT_EQ(sortedLines(dumpDrawing(drawing)), sortedLines(before));
    EXPECT_EQ(adDrawingVersion(drawing), 7);
    for (std::int32_t p : progress) EXPECT_LT(p, 100);
    // The partly written file stays, closed.
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "partial");
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, RefusalsComeBeforeAnyWork) {
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    drawing->writerVersionLimit = 6;
    EXPECT_EQ(adSaveDrawing(drawing, out("c.dxf").c_str(), 1, 7, 1, 6, 0, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_VERSION_CEILING);
    EXPECT_TRUE(progress.empty());
    EXPECT_FALSE(std::filesystem::exists(out("c.dxf")));
    // A ceiling of -1 never refuses.
    drawing->writerVersionLimit = -1;
    EXPECT_EQ(adSaveDrawing(drawing, out("c.dxf").c_str(), 1, 7, 1, 6, 0, 1), 1);
    // A file that cannot be created: error 3, no writer called.
    view.calls = 0;
    EXPECT_EQ(adSaveDrawing(drawing, out("missing/dir/x.dxf").c_str(), 1, 7, 1, 6, 0, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILE_OPEN);
    EXPECT_EQ(view.calls, 0);
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, HandleSeedComesFromTheDrawingUnlessHandlesAreOff) {
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    drawing->header->handling = 1;
    ASSERT_EQ(adSaveDrawing(drawing, out("h.dxf").c_str(), 1, 7, 1, 6, 0, 1), 1);
    EXPECT_EQ(view.handseed, hex(drawing->handleSeed));
    drawing->header->handling = 0;
    ASSERT_EQ(adSaveDrawing(drawing, out("h.dxf").c_str(), 1, 7, 1, 6, 0, 1), 1);
    EXPECT_EQ(view.handseed, "1");
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, ReferencedXrefBlocksCarryBlockRefsOnlyWhileAnAc1014FileIsWritten) {
    const std::string insert = dxfGroups({{0, "INSERT"}, {8, "0"}, {2, "XREF1"}, {10, "0"}, {20, "0"}, {30, "0"}});
    const std::string path = dir_.write("xref.dxf", r12Drawing({"0"}, insert + insert));
    AdDrawing* drawing = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(drawing, nullptr);
    ASSERT_NE(adClassNumIdBuffer(drawing), 0);
    ASSERT_EQ(adSaveDrawing(drawing, out("x.dxf").c_str(), 1, 6, 1, 6, 0, 1), 1);
    EXPECT_NE(view.dump.find("ENTRY ACAD_BLKREFS"), std::string::npos) << view.dump;
    const std::string after = dumpDrawing(drawing);
    EXPECT_EQ(after.find("ACAD_BLKREFS"), std::string::npos) << after;
    EXPECT_EQ(after.find("OBJECT " + std::to_string(adClassNumIdBuffer(drawing))), std::string::npos)
        << "the IDBUFFER went with its entry";
    adCloseDrawing(drawing);
}

TEST_F(SaveEntry, PathsWithoutAWriterAreRefused) {
    adSaveWriters = saved_;
    adSaveWriters.dxfR13 = nullptr;
    AdDrawing* drawing = openFixture();
    ASSERT_NE(drawing, nullptr);
    const std::string before = dumpDrawing(drawing);
    EXPECT_EQ(adSaveDrawing(drawing, out("d.dxf").c_str(), 1, 7, 1, 6, 0, 1), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_NO_WRITER);
    EXPECT_EQ(dumpDrawing(drawing), before);
    adCloseDrawing(drawing);
}
}  // namespace
