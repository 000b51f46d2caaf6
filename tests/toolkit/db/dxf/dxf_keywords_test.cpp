// The DXF keyword tables: entries at their fixed indexes, line formats,
// entity and record-kind names both ways, and header names that agree with
// their descriptors.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

TEST(DxfKeywords, EveryEntryIsAStringAndFixedEntriesSitAtTheirIndexes) {
    for (int i = 0; i < AD_KW_COUNT; ++i) EXPECT_NE(AdDxfKeywordTable[i], nullptr) << i;
    struct Case {
        int index;
        const char* text;
    };
    const Case cases[] = {
        {0, "LINE"},
        {34, "BODY"},
        {AD_KW_HEADER, "HEADER"},
        {36, "$ACADVER"},
        {37, "$ACADMAINTVER"},
        {163, "$USERI%d"},
        {255, "$XEDIT"},
        {AD_KW_ENDSEC, "ENDSEC"},
        {AD_KW_EOF, "EOF"},
        {265, "EOF"},
        {AD_KW_LAYER, "LAYER"},
        {AD_KW_CLASS, "CLASS"},
        {AD_KW_CLASSES, "CLASSES"},
        {AD_KW_ACAD_PROXY_OBJECT, "ACAD_PROXY_OBJECT"},
        {AD_KW_XRECORD, "XRECORD"},
        {AD_KW_WIPEOUTVARIABLES, "WIPEOUTVARIABLES"},
        {298, "WIPEOUTVARIABLES"},
        {AD_KW_REAL_FORMAT_9, "%.9f"},
        {AD_KW_REAL_FORMAT_10, "%.10f"},
        {AD_KW_STANDARD, "Standard"},
        {AD_KW_MODE_READ, "rb"},
        {AD_KW_MODE_WRITE, "wb"},
        {AD_KW_LINE_D, "d\r\n"},
        {AD_KW_LINE_ZERO_REAL, "0.0\r\n"},
        {AD_KW_LINE_INT, "%3d\r\n"},
        {AD_KW_LINE_UNNAMED, "*UNNAMED\r\n"},
        {311, "*UNNAMED\r\n"},
    };
    for (const Case& c : cases) EXPECT_STREQ(AdDxfKeywordTable[c.index], c.text) << c.index;
}

TEST(DxfKeywords, LineFormatsWriteTheirValues) {
    char line[32];
    std::snprintf(line, sizeof line, AdDxfKeywordTable[AD_KW_LINE_INT32], std::int32_t{-1234567});
    EXPECT_STREQ(line, " -1234567\r\n");
    std::snprintf(line, sizeof line, AdDxfKeywordTable[AD_KW_LINE_INT], 8);
    EXPECT_STREQ(line, "  8\r\n");
    std::snprintf(line, sizeof line, AdDxfKeywordTable[AD_KW_REAL_FORMAT_9], 0.5);
    EXPECT_STREQ(line, "0.500000000");
}

TEST(DxfKeywords, EntityNamesBothWays) {
    struct Case {
        std::uint16_t type;
        const char* name;
    };
    const Case cases[] = {
        {1, "LINE"},     {3, "CIRCLE"},     {8, "ARC"},       {12, "BLOCK"},  {13, "ENDBLK"},
        {17, "SEQEND"},  {19, "POLYLINE"},  {21, "3DLINE"},   {22, "3DFACE"}, {24, "VIEWPORT"},
        {25, "3DSOLID"}, {28, "MTEXT"},     {31, "MLINE"},    {35, "BODY"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(adDxfEntityName(c.type), c.name) << c.type;
        EXPECT_EQ(adDxfEntityType(c.name), c.type) << c.name;
    }
    for (std::uint16_t unnamed : {18, 32, 33, 34}) EXPECT_STREQ(adDxfEntityName(unnamed), "") << unnamed;
    for (std::uint16_t outside : {0, 36, 498, 500, 65535}) EXPECT_EQ(adDxfEntityName(outside), nullptr) << outside;
    for (const char* unknown : {"", "line", "LWPOLYLINE", "HEADER", "SECTION", "ACAD_PROXY_ENTITY"}) {
        EXPECT_EQ(adDxfEntityType(unknown), 0) << unknown;
    }
    EXPECT_EQ(adDxfEntityType(nullptr), 0);
}

TEST(DxfKeywords, RecordKindsBothWays) {
    const char* names[] = {"LTYPE", "LAYER", "STYLE", "VIEW", "VPORT", "APPID",
                           "DIMSTYLE", "UCS", "BLOCK", "BLOCK_RECORD", "MLINESTYLE", "CLASS"};
    for (int kind = 0; kind < AD_DXF_RECORD_KIND_COUNT; ++kind) {
        EXPECT_STREQ(adDxfRecordKindName(kind), names[kind]) << kind;
        EXPECT_EQ(adDxfRecordKind(names[kind]), kind) << names[kind];
    }
    EXPECT_EQ(adDxfRecordKindName(-1), nullptr);
    EXPECT_EQ(adDxfRecordKindName(AD_DXF_RECORD_KIND_COUNT), nullptr);
    for (const char* unknown : {"", "layer", "TABLE", "DICTIONARY", "BLOCK_RECORDS"}) {
        EXPECT_EQ(adDxfRecordKind(unknown), -1) << unknown;
    }
    EXPECT_EQ(adDxfRecordKind(nullptr), -1);
}

// The writer emits the header from the keyword list and finds each value
// through the descriptors, so the two must name the same variables.
TEST(DxfKeywords, HeaderNamesAndDescriptorsAgree) {
    const std::set<std::string> writtenWithoutDescriptor = {"$USERI%d", "$USERR%d", "$CYCLEKEEP", "$CYCLECURR",
                                                            "$CEPSNID"};
    std::set<std::string> written;
    for (int i = AD_KW_HEADER_VAR_FIRST; i < AD_KW_HEADER_VAR_FIRST + AD_KW_HEADER_VAR_COUNT; ++i) {
        std::string name = AdDxfKeywordTable[i];
        ASSERT_EQ(name[0], '$') << i;
        EXPECT_TRUE(written.insert(name).second) << name << " twice";
        const AdHeaderVarDesc* d = adHeaderVarFind(name.c_str() + 1);
        if (writtenWithoutDescriptor.count(name)) {
            EXPECT_EQ(d, nullptr) << name;
        } else {
            ASSERT_NE(d, nullptr) << name;
            EXPECT_EQ(d->name, name.substr(1)) << name;
        }
    }
    for (const AdHeaderVarDesc& d : adHeaderVarDescs) {
        std::string name = std::string("$") + d.name;
        bool user = (d.type == AD_HV_USERI || d.type == AD_HV_USERR);
        if (user || name == "$VIEWTWIST") continue;
        EXPECT_TRUE(written.count(name)) << name << " is never written";
    }
    for (const AdHeaderVarDesc& d : adHeaderNameVarDescs) EXPECT_TRUE(written.count(std::string("$") + d.name));
}

}  // namespace
