// Objects of bit-coded DWG files: the real files' dictionary trees and
// layouts, a damaged object passed over, and the codings the files do not
// show.
#include "dwg_corpus.h"
#include "started_toolkit.h"
#include "temp_dir.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg_objects.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class DwgObjectsTest : public StartedToolkit {};

// The OBJECTS stage driven through the DWG reader table: every object read
// is stored; a class-numbered object its reader refuses is passed over.
int loadObjects(AdDrawing* drawing) {
    adInstallDwgReadOps();
    drawing->readOps = adGlobals->dwgReadOps;
    const AdReadOps& ops = *drawing->readOps;
    if (!ops.beginObjects(drawing)) return 0;
    for (std::int16_t type = ops.nextObject(drawing); type != 0; type = ops.nextObject(drawing)) {
        AdObjectHeader header{};
        AdObjectData data{};
        std::uint8_t xdataFlag = 0;
        const AdReadObjectOp read = type == AD_OBJECT_DICTIONARY    ? ops.readDictionary
                                    : type == AD_OBJECT_MLINESTYLE ? ops.readMlineStyle
                                    : type == AD_OBJECT_GROUP      ? ops.readGroup
                                                                    : ops.readClassObject;
        if (!read(drawing, &header, &data, &xdataFlag)) {
            if (read != ops.readClassObject) return 0;
            continue;
        }
        if ((xdataFlag && !adCollectExtendedData(drawing, &header.xdata)) || !adObjectAdd(drawing, &header, &data)) {
            adObjectFreeData(drawing, &header, &data);
            return 0;
        }
    }
    return 1;
}

// The handle of a dictionary's entry, its name in any case (R13 files spell
// them in capitals); null when the dictionary or the entry is not there.
AdHandle entryOf(AdDrawing* drawing, const AdHandle& dictionary, const char* name) {
    AdObjectHeader header{};
    AdObjectData data{};
    AdHandle found{};
    if (!adObjectByHandle(drawing, &dictionary, &header, &data) || header.type != AD_OBJECT_DICTIONARY)
        return found;
    AdStream* in = data.dictionary.entries ? adStreamOpenRead(data.dictionary.entries) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < data.dictionary.entryCount && adStreamReadNameRecord(in, &entry); ++i)
        if (adStrCompareNoCase(entry.name, name) == 0) found = entry.handle;
    if (in) adStreamCloseRead(in);
    return found;
}

bool present(AdDrawing* drawing, const AdHandle& handle, AdObjectHeader* header, AdObjectData* data) {
    return adHandleLength(&handle) > 0 && adObjectByHandle(drawing, &handle, header, data);
}

TEST_F(DwgObjectsTest, NamedObjectDictionaryTreeOfTheExamples) {
    const struct {
        const char* file;
        bool layouts;
    } cases[] = {{"ac1012_example.dwg", false}, {"ac1014_example.dwg", false}, {"ac1015_example.dwg", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::filesystem::path path = dwgCorpusDir() / c.file;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
        OpenedDwg dwg(path.string());
        ASSERT_EQ(dwg.opened(), 1) << dwg.error();
        AdDrawing* d = dwg.get();
        ASSERT_EQ(loadObjects(d), 1) << adGlobals->errorCode;
        AdObjectHeader header{};
        AdObjectData data{};
        ASSERT_TRUE(present(d, d->namedObjectDictionary, &header, &data));
        EXPECT_EQ(header.type, AD_OBJECT_DICTIONARY);
        const AdHandle groups = entryOf(d, d->namedObjectDictionary, "ACAD_GROUP");
        ASSERT_TRUE(present(d, groups, &header, &data));
        EXPECT_EQ(header.type, AD_OBJECT_DICTIONARY);
        const AdHandle styles = entryOf(d, d->namedObjectDictionary, "ACAD_MLINESTYLE");
        const AdHandle standard = entryOf(d, styles, "Standard");
        ASSERT_TRUE(present(d, standard, &header, &data));
        ASSERT_EQ(header.type, AD_OBJECT_MLINESTYLE);
        EXPECT_STREQ(data.mlineStyle.name, "STANDARD");
        EXPECT_EQ(data.mlineStyle.elementCount, 2);
        if (!c.layouts) continue;
        const AdHandle layouts = entryOf(d, d->namedObjectDictionary, "ACAD_LAYOUT");
        for (const char* name : {"Model", "Layout1"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(present(d, entryOf(d, layouts, name), &header, &data));
        }
    }
}

// The LAYOUT reader on the real objects: their class number is the one the
// file gave the "Model" layout.
TEST_F(DwgObjectsTest, LayoutsOfAnAc1015File) {
    const std::filesystem::path path = dwgCorpusDir() / "ac1015_example.dwg";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    std::int16_t layoutClass = 0;
    {
        OpenedDwg dwg(path.string());
        ASSERT_EQ(loadObjects(dwg.get()), 1);
        AdObjectHeader header{};
        AdObjectData data{};
        const AdHandle layouts = entryOf(dwg.get(), dwg.get()->namedObjectDictionary, "ACAD_LAYOUT");
        ASSERT_TRUE(present(dwg.get(), entryOf(dwg.get(), layouts, "Model"), &header, &data));
        layoutClass = header.type;
    }
    ASSERT_GE(layoutClass, AD_FIRST_CLASS_NUMBER);
    OpenedDwg dwg(path.string());
    AdDrawing* d = dwg.get();
    d->classNumbers[AD_CLASS_LAYOUT] = layoutClass;
    ASSERT_EQ(loadObjects(d), 1);
    const AdHandle layouts = entryOf(d, d->namedObjectDictionary, "ACAD_LAYOUT");
    const struct {
        const char* name;
        std::int16_t tabOrder;
    } cases[] = {{"Model", 0}, {"Layout1", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AdObjectHeader header{};
        AdObjectData data{};
        ASSERT_TRUE(present(d, entryOf(d, layouts, c.name), &header, &data));
        ASSERT_EQ(header.type, layoutClass);
        EXPECT_STREQ(data.layout.name, c.name);
        EXPECT_EQ(data.layout.tabOrder, c.tabOrder);
        EXPECT_EQ(adHandleCompare(&header.owner, &layouts), 0);
        EXPECT_GT(adHandleLength(&data.layout.paperSpaceBlock), 0);
    }
}

// A damaged object in the middle of the section is noted and passed over;
// every other object still loads.
TEST_F(DwgObjectsTest, DamagedObjectIsNotedAndPassedOver) {
    const std::filesystem::path path = dwgCorpusDir() / "ac1015_example.dwg";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no " << path;
    std::int32_t cleanCount = 0;
    AdHandle victim{};
    std::int64_t offset = 0;
    {
        OpenedDwg dwg(path.string());
        ASSERT_EQ(loadObjects(dwg.get()), 1);
        cleanCount = adObjectCount(dwg.get());
        ASSERT_GT(cleanCount, 10);
        AdObjectHeader header{};
        AdObjectData data{};
        adObjectRewind(dwg.get());
        for (std::int32_t i = 0; i <= cleanCount / 2; ++i) ASSERT_EQ(adObjectNext(dwg.get(), &header, &data), 1);
        victim = header.handle;
        ASSERT_EQ(adDwgSeekObject(dwg.get(), &victim), 1);
        offset = HostTell(dwg.get()->file);
    }
    // Its size word now says one byte: too short for any object.
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_LT(offset + 1, static_cast<std::int64_t>(bytes.size()));
    bytes[static_cast<std::size_t>(offset)] = 1;
    bytes[static_cast<std::size_t>(offset) + 1] = 0;
    TempDir dir;
    const std::filesystem::path damaged = dir.write("damaged.dwg", std::string(bytes.begin(), bytes.end()));

    OpenedDwg dwg(damaged.string());
    ASSERT_EQ(dwg.opened(), 1) << dwg.error();
    AdDrawing* d = dwg.get();
    ASSERT_EQ(loadObjects(d), 1);
    EXPECT_EQ(adObjectCount(d), cleanCount - 1);
    ASSERT_EQ(d->loadErrorCount, 1);
    EXPECT_EQ(d->loadErrors[0].code, AD_ERR_DWG_OBJECT_CRC);
    EXPECT_EQ(adHandleCompare(&d->loadErrors[0].handle, &victim), 0);
    AdObjectHeader header{};
    AdObjectData data{};
    EXPECT_FALSE(present(d, victim, &header, &data));
    EXPECT_TRUE(present(d, d->namedObjectDictionary, &header, &data));
}

TEST(DwgMlineStyleFlags, PairsSwapAndUnknownBitsDrop) {
    const struct {
        std::int32_t file;
        std::int16_t stored;
    } cases[] = {{0x0263, 0x0463}, {0x01, 0x02}, {0x02, 0x01}, {0x30, 0x50}, {0x40, 0x20},
                 {0x300, 0x500}, {0x400, 0x200}, {0x88C, 0}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(adDwgMlineStyleFlags(c.file), c.stored) << std::hex << c.file;
}

}  // namespace
