// MTEXT and RTEXT entities: the text frame placed at the insertion point
// along the x direction, and the text drawn by the multi-line layout. An
// RTEXT shows the contents of the file it names.
#include "toolkit/display/emit.h"
#include "toolkit/display/handlers.h"
#include "toolkit/display/mtext_layout.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::uint8_t RTEXT_EXPRESSION = 0x01;  // the text is an expression, not a file name
constexpr std::uint8_t RTEXT_CODES = 0x02;
constexpr std::int32_t FILE_PIECE = 512;

// The whole file in a new store; null when it cannot be opened or read.
AdStore* readFileToStore(const char* path) {
    HostFile* file = HostOpenRead(path);
    if (!file) return nullptr;
    AdStore* store = adStoreCreate(4096);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    bool ok = out != nullptr;
    char piece[FILE_PIECE];
    for (std::int64_t left = HostFileLength(file); ok && left > 0;) {
        const auto size = static_cast<std::int32_t>(left < FILE_PIECE ? left : FILE_PIECE);
        ok = HostRead(piece, 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size) &&
             adStreamWrite(out, piece, size);
        left -= size;
    }
    ok = ok && adStreamWriteByte(out, 0);
    if (out) adStreamCloseWrite(out);
    HostClose(file);
    if (!ok && store) {
        adStoreFree(store);
        return nullptr;
    }
    return store;
}

void drawText(AdDrawContext& entity, AdMtextData* mtext, std::uint8_t codes) {
    AdMatrix4 frame;
    adTextFrameMatrix(mtext->insertion, mtext->xAxis, entity.block, &frame, 1.0);
    adRender->textFrame = frame;
    mtext->insertion[0] = mtext->insertion[1] = mtext->insertion[2] = 0.0;
    adDrawMText(entity.drawing, mtext, &adRender->textFrame, entity.colour, entity.layer->colour,
                entity.inherited->colour, codes);
}

}  // namespace

void adDrawMTextEntity(AdDrawContext& entity) { drawText(entity, &entity.data->mtext, 1); }

void adDrawRTextEntity(AdDrawContext& entity) {
    const AdRtextData& rtext = entity.data->rtext;
    if (rtext.flags & RTEXT_EXPRESSION) return;
    char path[AD_PATH_SIZE];
    const char* name = rtext.text;
    if (adRender->hooks.findTextFile && adRender->hooks.findTextFile(name, path, sizeof path, entity.drawing->userData))
        name = path;
    AdMtextData mtext{};
    mtext.longText = readFileToStore(name);
    if (!mtext.longText) return;
    std::memcpy(mtext.insertion, rtext.insertion, sizeof mtext.insertion);
    mtext.xAxis[0] = std::cos(rtext.rotation);
    mtext.xAxis[1] = std::sin(rtext.rotation);
    mtext.height = rtext.height;
    mtext.style = rtext.style;
    mtext.attachment = 1;
    mtext.drawingDirection = 1;
    mtext.lineSpacingStyle = 1;
    mtext.lineSpacingFactor = 1.0;
    drawText(entity, &mtext, (rtext.flags & RTEXT_CODES) ? 1 : 0);
    adStoreFree(mtext.longText);
}
