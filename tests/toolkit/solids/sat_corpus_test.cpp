// Every 3D solid, region and body of the corpus drawings, in both file
// formats: its SAT text parses with the full answer, and a DWG and its DXF
// twin hold the same bodies, faces and edges.
#include "acis_request_recorder.h"
#include "corpus_summary.h"
#include "sat_graph.h"
#include "solids_fixture.h"
#include "toolkit/solids/sat_parser.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The whole SAT text of an entity's store.
std::string satText(AdStore* store) {
    std::string text;
    AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
    if (!stream) return text;
    text.resize(static_cast<std::size_t>(adStoreSize(store)));
    if (!text.empty() && !adStreamRead(stream, text.data(), static_cast<std::int32_t>(text.size()))) text.clear();
    adStreamCloseRead(stream);
    return text;
}

struct SolidCounts {
    int bodies = 0, faces = 0, edges = 0;
    bool operator==(const SolidCounts&) const = default;
};

class SatCorpusTest : public CorpusTest {
protected:
    void SetUp() override {
        CorpusTest::SetUp();
        resetSolidsState();
        setDiagnosticSink([](DiagnosticStream, std::string_view text, void* self) {
            static_cast<SatCorpusTest*>(self)->err.append(text);
        }, this);
    }
    void TearDown() override {
        resetSolidsState();
        CorpusTest::TearDown();
    }
    std::string err;
};

TEST_F(SatCorpusTest, EverySolidParses) {
    std::map<std::string, std::map<std::string, std::vector<SolidCounts>>> byStem;  // stem -> kind -> solids
    const int solids = walkCorpusSolids([&](const std::string& stem, const char* kind, const std::string& container,
                                            const AdEntityHeader& header, const AdEntityData& data) {
        const std::string where = stem + "." + kind + " " + container + " type " + std::to_string(header.type);
        std::stringbuf text(satText(data.sat.satText));
        satParser parser(&text);
        err.clear();
        EXPECT_EQ(parser.parse(), SAT_DONE) << where;
        SolidCounts n;
        for (acis_Body* body = parser.firstBody(); body; body = parser.nextBody()) {
            const BodyCounts counts = countBody(body);
            ++n.bodies;
            n.faces += counts.faces;
            n.edges += counts.edges;
        }
        EXPECT_GT(n.faces, 0) << where;
        EXPECT_EQ(err.find("Syntax error"), std::string::npos) << where << "\n" << err;
        byStem[stem][kind].push_back(n);
        std::cout << where << ": SAT " << parser.version() << ", " << n.bodies << " bodies, " << n.faces
                  << " faces, " << n.edges << " edges\n";
    });
    if (!solids) GTEST_SKIP() << "no corpus drawing with a 3D solid, region or body loads";
    for (const auto& [stem, kinds] : byStem)
        if (kinds.size() == 2) {
            EXPECT_EQ(kinds.at("dwg"), kinds.at("dxf")) << stem;
        }
}

// Every solid draws a wireframe of finite points. With VT_SOLIDS_SAT_DIR set,
// the SAT texts are written there too, for pictures made outside the tests.
TEST_F(SatCorpusTest, EverySolidRenders) {
    const char* dumpDir = std::getenv("VT_SOLIDS_SAT_DIR");
    std::map<std::string, int> seen;
    const int solids = walkCorpusSolids([&](const std::string& stem, const char* kind, const std::string&,
                                            const AdEntityHeader& header, const AdEntityData& data) {
        const std::string name = stem + "." + kind + "." + std::to_string(header.type) + "." +
                                 std::to_string(seen[stem + kind]++);
        const std::string text = satText(data.sat.satText);
        if (dumpDir) std::ofstream(std::string(dumpDir) + "/" + name + ".sat", std::ios::binary) << text;
        RecordingRequest request(text);
        EXPECT_EQ(request.render(), 0);
        EXPECT_GT(request.segments(), 0) << name;
        int vertices = 0;
        for (const auto& p : request.primitives) {
            EXPECT_TRUE(p.ended) << name;
            for (const aPoint& v : p.vertices) {
                ++vertices;
                EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << name;
            }
        }
        std::cout << name << ": " << request.primitives.size() << " primitives, " << vertices << " vertices, "
                  << request.segments() << " segments\n";
    });
    if (!solids) GTEST_SKIP() << "no corpus drawing with a 3D solid, region or body loads";
}

}  // namespace
