// A load leaves no reference store lost or dangling: a block keeps the
// reference it gives itself, and an object that is not kept takes its name
// references with it.
#include "started_toolkit.h"
#include "temp_dir.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LoadOwnership : public StartedToolkit {
protected:
    AdDrawing* load(const std::string& dxf) {
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        return adOpenDrawing(dir.write("drawing.dxf", dxf).c_str(), 1, 0);
    }
    TempDir dir;
};

// A block whose own entities insert it: the reference store the INSERT gives
// the block must survive the block's record being finished, or it leaks (the
// leak checker watches) and the reference is lost.
TEST_F(LoadOwnership, ABlockKeepsTheReferenceItGivesItself) {
    const std::string dxf =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n"
        "0\nSECTION\n2\nBLOCKS\n"
        "0\nBLOCK\n8\n0\n2\nLOOP\n70\n0\n10\n0\n20\n0\n30\n0\n3\nLOOP\n"
        "0\nINSERT\n8\n0\n2\nLOOP\n10\n1\n20\n1\n30\n0\n"
        "0\nENDBLK\n8\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n0\nENDSEC\n0\nEOF\n";
    AdDrawing* drawing = load(dxf);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    AdHandle loop{};
    ASSERT_EQ(adBlockHandleByName(drawing, "LOOP", &loop), 1);
    AdBlockHeader block{};
    ASSERT_EQ(adBlockByHandle(drawing, &loop, &block), 1);
    EXPECT_NE(block.insertReferences, nullptr);
    EXPECT_EQ(adStoreSize(block.insertReferences), 8);
    adCloseDrawing(drawing);
}

// An object that cannot be kept (its handle is taken) frees its extended
// data; the layer name in it must not be written into the freed store when
// the load resolves names at its end (the sanitizer watches).
TEST_F(LoadOwnership, AnUnkeptObjectTakesItsNameReferencesWithIt) {
    const std::string dxf =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$HANDSEED\n5\n100\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n"
        "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n"
        "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n1001\nACAD\n1003\n0\n"
        "0\nENDSEC\n0\nEOF\n";
    AdDrawing* drawing = load(dxf);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    ASSERT_GE(drawing->loadErrorCount, 1);
    EXPECT_EQ(drawing->loadErrors[0].handle.b[7], 0x0C);
    adCloseDrawing(drawing);
}

}  // namespace
