// The canonical summary of a drawing that the corpus comparisons share: per
// container (MODEL, PAPER or a block's name) the count of each entity type
// and sample geometry, and the layer names. drawingSummary makes it from a
// loaded drawing as the database holds it; corpus_summary.py makes the same
// lines from ezdxf's reading of a DXF and is the one place where the two
// representations are brought together.
#pragma once
#include "toolkit/db/started_toolkit.h"
#include "toolkit/ad.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// COUNT container type n | GEOMETRY container type values... | TABLE table
// name. In GEOMETRY lines a text starts with "=", anything else is a number.
// ezdxf's summaries name the LAYER table's records only.
using SummaryLine = std::vector<std::string>;
using Summary = std::vector<SummaryLine>;

std::filesystem::path corpusFolder(const char* kind);  // "dwg", "dxf" or "perf"
// File stems of the folder with that extension, sorted; empty when the
// data is absent.
std::vector<std::string> corpusStems(const char* kind);
// The stems that are both a corpus DWG and a corpus DXF.
std::vector<std::string> twinStems();
// A drawing of the corpus by its kind ("dxf" or "dwg") and file stem.
struct CorpusSource {
    const char* kind;
    std::string stem;
};
// Every corpus DXF, then every corpus DWG.
std::vector<CorpusSource> corpusSources();

Summary drawingSummary(AdDrawing* drawing);

// Every entity of model space, paper space and each other block, in list
// order, with the name of its container (MODEL, PAPER or the block's name;
// an anonymous block's as drawingSummary names it).
using EntityVisitor =
    std::function<void(const std::string& container, const AdEntityHeader& header, const AdEntityData& data)>;
void walkEntities(AdDrawing* drawing, const EntityVisitor& visit);

// The SAT text of every solid, region and body of a drawing, by handle.
std::map<std::uint64_t, std::string> satTexts(AdDrawing* drawing);

// Every 3D solid, region and body of every corpus DWG and DXF that loads,
// with the file's stem and kind ("dwg" or "dxf"); answers how many there were.
using SolidVisitor = std::function<void(const std::string& stem, const char* kind, const std::string& container,
                                        const AdEntityHeader& header, const AdEntityData& data)>;
int walkCorpusSolids(const SolidVisitor& visit);

// Why the comparisons with ezdxf cannot run here (no corpus data, no
// python3-ezdxf, or the Windows build, which runs no Python); empty when
// they can.
std::string ezdxfSkipReason();
// What ezdxf reads from every corpus DXF, by stem; a file ezdxf refuses has
// the single line REFUSED reason. Run once per test program.
const std::map<std::string, Summary>& ezdxfSummaries();

// kSummaryTables compares every table's names, kSummaryLayers the LAYER table's.
enum SummaryParts { kSummaryCounts = 1, kSummaryGeometry = 2, kSummaryLayers = 4, kSummaryTables = 8 };
// Every way in which got differs from expected in the parts asked for, one
// readable text each; numbers agree within 1e-9 (relative to their size
// beyond 1).
std::vector<std::string> summaryDifferences(const Summary& expected, const Summary& got, int parts);

// The toolkit started with both readers installed, as a host starts it.
class CorpusTest : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
    }
};

// Why a difference between a DWG and its DXF twin lies in the files
// themselves; null when it is the readers'.
const char* twinFileDifference(const std::string& stem, const std::string& difference);

// A drawing loaded from a file and closed at the end of the scope.
class LoadedDrawing {
public:
    explicit LoadedDrawing(const std::filesystem::path& path);
    ~LoadedDrawing();
    LoadedDrawing(const LoadedDrawing&) = delete;
    LoadedDrawing& operator=(const LoadedDrawing&) = delete;

    AdDrawing* get() const { return drawing_; }
    std::int32_t error() const { return error_; }

private:
    AdDrawing* drawing_;
    std::int32_t error_;
};
