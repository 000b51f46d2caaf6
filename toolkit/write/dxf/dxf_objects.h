// The OBJECTS section: the writers of the fixed object types, the head every
// object shares and the writer of the class-numbered kinds. Internal to the
// DXF writer.
#pragma once
#include "toolkit/write/dxf/dxf_entities.h"

// The group writes of one object: a run of groups that stops at the first
// failure, with the object's own helpers.
struct AdDxfObjectGroups : AdDxfGroupRun {
    AdDrawing* source;
    const AdObjectHeader* header;

    AdDxfObjectGroups(AdDrawing* drawing, AdOutputDrawing* out, const AdObjectHeader* h)
        : AdDxfGroupRun{out}, source(drawing), header(h) {}
    std::int16_t version() const { return output->version; }
    // 102 {ACAD_XDICTIONARY 360 ... 102 } and 102 {ACAD_REACTORS 330 ... 102 }.
    void common();
    // 0 keyword, 5 handle, the common part and the marker when it is not
    // empty. Extended data comes last, after the object's own groups.
    void head(const char* keyword, const char* marker);
    // The head of DICTIONARY, MLINESTYLE and GROUP: 0 keyword, 5 handle, and
    // the common part only when the object has reactors.
    void fixedHead(const char* keyword);
    void xdata();
    void full3(std::int16_t code, const double* point);
    // count 8-byte handles of a store, each as one group.
    void handles(std::int16_t code, AdStore* store, std::int32_t count);
    void chunks(AdStore* store);
    // 90 size and the bytes of store as 310 groups of 127 bytes.
    void sizedChunks(AdStore* store, std::int32_t size);
};

int adDxfWriteDictionary(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                         const AdDictionaryData* data);
int adDxfWriteMlineStyle(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                         const AdMlineStyleData* data, std::int32_t position);
int adDxfWriteGroup(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                    const AdGroupData* data);
// Every other kind, by the drawing's class numbers; kinds the output
// version does not know are left out (1), unknown ones written as proxies.
int adDxfWriteObject(AdDrawing* source, AdOutputDrawing* output, const AdObjectHeader* header,
                     const AdObjectData* data, const AdHandle* owner);
// The owner the proxy object is written with: none when the object's own
// references list it (9-byte entries of store, count of them).
AdHandle adDxfOwnerUnlessReferenced(const AdHandle& owner, AdStore* store, std::int32_t count);

// OBJECTS in list order; 1 when every object was written.
int adDxfWriteObjects(AdDrawing* source, AdOutputDrawing* output);
