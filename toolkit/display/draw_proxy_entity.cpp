// The entities drawn from their stored graphics: proxy entities and classes
// the engine has no drawing of its own for, ARCALIGNEDTEXT, and WIPEOUT while
// the drawing shows wipeout frames.
#include "toolkit/display/handlers.h"

#include "toolkit/display/proxy.h"
#include "toolkit/display/render_state.h"

void adDrawProxyEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    AdStore* graphics = nullptr;
    switch (adEntityKind(drawing, entity.header->type)) {
    case AD_KIND_ARCALIGNEDTEXT: graphics = entity.data->arcAlignedText.graphics; break;
    case AD_KIND_PROXY: graphics = entity.data->proxy.graphics; break;
    case AD_KIND_WIPEOUT:
        if (drawing->display->wipeoutFrame != 1) return;
        graphics = entity.data->image.pixels;
        break;
    default: return;
    }
    if (!graphics) return;
    const std::int16_t layerColour = entity.layer ? entity.layer->colour : entity.colour;
    adDrawProxyGraphics(drawing, graphics, entity.block, entity.matrices, entity.linetype, entity.linetypeDrawing,
                        entity.inherited ? entity.inherited->colour : std::int16_t{7}, layerColour, entity.header);
}
