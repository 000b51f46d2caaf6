// AC1012 has no LWPOLYLINE record: each is written as a 2D POLYLINE with its
// VERTEX records and a SEQEND, chained as a polyline read from the file is.
#include "toolkit/write/dwg/dwg_entity_head.h"

namespace {
struct Chain {
    AdDwgWriter* writer;
    AdDwgEntityLinks links;  // the LWPOLYLINE's place among the main entities
    AdHandle polyline;
    AdHandle previousVertex;
};

int writeRecord(AdDrawing*, AdOutputDrawing* output, AdEntityHeader* header, AdEntityData* data, int position,
                void* user) {
    auto* chain = static_cast<Chain*>(user);
    if (position == AD_CONVERTED_POLYLINE) {
        AdDwgEntityLinks links = chain->links;
        links.firstSub = output->polylineFirst;
        links.lastSub = output->polylineLast;
        links.seqend = output->polylineSeqend;
        return adDwgWriteEntity(chain->writer, header, data, links, AD_DWG_POLYLINE_2D);
    }
    AdDwgEntityLinks links{chain->polyline, {}, {}, 0, {}, {}, {}};
    if (position == AD_CONVERTED_SEQEND) return adDwgWriteEntity(chain->writer, header, data, links, AD_DWG_SEQEND);
    // The vertices take consecutive handles: the next is one above, but for the last.
    links.previous = chain->previousVertex;
    if (adHandleCompare(&header->handle, &output->polylineLast) != 0) {
        links.next = header->handle;
        adHandleIncrement(&links.next);
    }
    chain->previousVertex = header->handle;
    return adDwgWriteEntity(chain->writer, header, data, links, AD_DWG_VERTEX_2D);
}
}  // namespace

int adDwgWriteLwpolylineAsPolyline(AdDwgWriter* writer, AdEntityHeader* header, AdEntityData* data,
                                   const AdDwgEntityLinks& links) {
    Chain chain{writer, links, header->handle, {}};
    return adWriteLwpolyAsPolyline(writer->source, writer->output, header, data, 1, writeRecord, &chain);
}
