// The SAT reader over arbitrary text: whatever it builds is linked, walked
// and freed without touching memory it does not own.
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/module_state.h"
#include "toolkit/solids/sat_parser.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resetSolidsState();
    setDiagnosticSink([](DiagnosticStream, std::string_view, void*) {}, nullptr);
    std::stringbuf text(std::string(reinterpret_cast<const char*>(data), size));
    satParser parser(&text);
    parser.parse();
    // The walks the renderer makes must end.
    for (acis_Body* body = parser.firstBody(); body; body = parser.nextBody())
        for (acis_Lump* lump = body->lump; lump; lump = lump->next)
            for (acis_Shell* shell = lump->shell; shell; shell = shell->next)
                for (acis_Face* face = shell->face; face; face = face->next) {
                    face->countCurves();
                    face->isUnbounded();
                }
    return 0;
}
