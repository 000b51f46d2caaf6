// MLINE: the element lines walked from the entity's vertex store (their
// dashes are the element parameters), the fill between neighbouring
// elements, joint lines, square and arc caps, and the closing of a closed
// multiline.
#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/mline.h"

#include <array>
#include <new>
#include <vector>

namespace {

constexpr std::int16_t kFill = 0x0001, kJoints = 0x0002, kStartSquare = 0x0010, kStartInner = 0x0020,
                       kStartOuter = 0x0040, kEndSquare = 0x0100, kEndInner = 0x0200, kEndOuter = 0x0400;
constexpr std::int16_t kArcCaps = kStartInner | kStartOuter | kEndInner | kEndOuter;
constexpr std::int16_t kClosedBit = 0x02;
constexpr std::int16_t kByBlockLinetype = 0x7ffe, kByLayerLinetype = 0x7fff;
// Bytes an element takes at least per vertex: its two counts.
constexpr std::int32_t kElementBytes = 4;

using Point = std::array<double, 3>;

struct Element {
    std::int16_t colour = -1;  // mapped; negative leaves the pen as it is
    AdLtypeRecord linetype{};
    Point current{}, last{}, previous{}, first{};
    bool penDown = false;
};

struct Style {
    std::int16_t flags = 0;
    std::int16_t fillColour = 0;
};

std::int16_t resolveColour(std::int16_t colour, std::int16_t byBlock, std::int16_t layer) {
    if (colour == 0) return byBlock;
    if (colour == AD_COLOR_BYLAYER) return layer;
    return colour;
}

// The index-th record of the LTYPE table; the continuous linetype when the
// table has no such record.
void linetypeAt(AdDrawing* drawing, std::int16_t index, AdLtypeRecord* out) {
    const AdDisplayState* state = drawing->display;
    bool found = index >= 0 && adLtypeRewind(drawing);
    for (std::int32_t i = 0; found && i <= index; ++i) found = adLtypeNext(drawing, out) != 0;
    if (!found) *out = state->continuousRecord;
}

// The style's colours and linetypes for the n elements; without a style the
// elements keep the entity's pen and the continuous linetype.
Style readStyle(AdDrawing* drawing, const AdMlineData* mline, std::vector<Element>& elements, std::int16_t layerColour,
                std::int16_t byBlockColour, const AdLtypeRecord* layerLinetype, const AdLtypeRecord* byBlockLinetype) {
    const AdDisplayState* state = drawing->display;
    for (Element& e : elements) e.linetype = state->continuousRecord;
    Style style;
    AdObjectHeader header{};
    AdObjectData data{};
    if (!adObjectByHandle(drawing, &mline->style, &header, &data) || header.type != AD_OBJECT_MLINESTYLE) return style;
    const AdMlineStyleData& s = data.mlineStyle;
    style.flags = s.flags;
    style.fillColour = resolveColour(s.fillColour, byBlockColour, layerColour);
    AdStream* in = s.elements ? adStreamOpenRead(s.elements) : nullptr;
    for (std::size_t i = 0; in && i < elements.size() && i < s.elementCount; ++i) {
        AdMlineElement record{};
        if (!adStreamRead(in, &record, sizeof record)) break;
        Element& e = elements[i];
        const std::int16_t colour = resolveColour(record.colour, byBlockColour, layerColour);
        e.colour = colour > 0 ? adMapColor(colour) : colour;
        if (record.linetypeIndex == kByBlockLinetype)
            e.linetype = byBlockLinetype ? *byBlockLinetype : state->continuousRecord;
        else if (record.linetypeIndex == kByLayerLinetype)
            e.linetype = layerLinetype ? *layerLinetype : state->continuousRecord;
        else
            linetypeAt(drawing, record.linetypeIndex, &e.linetype);
        if (e.linetype.dashCount <= 0) e.linetype = state->continuousRecord;
    }
    if (in) adStreamCloseRead(in);
    return style;
}

struct Walk {
    AdDrawing* drawing;
    const AdMatrix4* model;
    const AdMatrix4* matrices;
    std::vector<Element>& elements;
    const Style& style;
    int pass;

    AdDisplayState* state() const { return drawing->display; }
    AdDrawing* linetypeDrawing() const { return state()->owner ? state()->owner : drawing; }

    void pen(std::int16_t colour) const {
        if (colour >= 0) adSetPenColor(drawing, colour);
    }
    void line(const Point& a, const Point& b, const AdLtypeRecord* linetype, AdDrawing* owner) const {
        double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
        adApplyLinetype(drawing, start, end, model, matrices, linetype, owner, nullptr, ++state()->curveCounter, 0.0);
    }
    void elementLine(const Element& e, const Point& a, const Point& b) const {
        pen(e.colour);
        line(a, b, &e.linetype, linetypeDrawing());
    }
    void fill(const Element& e, const Point& p1, const Point& p2, const Point& p3, const Point& p4) const {
        adSetPenColor(drawing, adMapColor(style.fillColour));
        adFillQuad(drawing, p1.data(), p2.data(), p3.data(), p4.data(), matrices);
        pen(e.colour);
    }

    // One element at one vertex: its point moved out along the miter by the
    // first parameter and along the segment by the second, then the dashes
    // of the further parameters; false when the store ends.
    bool element(AdStream* in, std::size_t index, std::int32_t v, const Point& p, const Point& d, const Point& m) {
        Element& e = elements[index];
        std::int16_t count = 0;
        if (!adStreamReadShort(in, &count)) return false;
        Point q = p;
        double t = 0.0;
        if (count >= 1) {
            if (!adStreamReadDouble(in, &t)) return false;
            for (int i = 0; i < 3; ++i) q[i] += t * m[i];
        }
        if (pass == 1 && v > 0 && e.penDown) elementLine(e, e.last, q);
        if (count >= 2) {
            if (!adStreamReadDouble(in, &t)) return false;
            for (int i = 0; i < 3; ++i) q[i] += t * d[i];
        }
        startElement(e, index, v, q);
        for (std::int16_t k = 2; k < count; ++k) {
            if (!adStreamReadDouble(in, &t)) return false;
            Point at;
            for (int i = 0; i < 3; ++i) at[i] = q[i] + t * d[i];
            if (pass == 1 && e.penDown) elementLine(e, e.last, at);
            e.last = at;
            e.penDown = !e.penDown;
        }
        std::int16_t fills = 0;
        if (!adStreamReadShort(in, &fills)) return false;
        for (std::int16_t k = 0; k < fills; ++k)
            if (!adStreamReadDouble(in, &t)) return false;
        return true;
    }

    // The element's point at this vertex, and the fill back to the previous one.
    void startElement(Element& e, std::size_t index, std::int32_t v, const Point& q) {
        e.current = q;
        e.last = q;
        e.penDown = true;
        if (pass == 0 && v > 0 && index > 0) {
            const Element& before = elements[index - 1];
            fill(e, before.previous, e.previous, before.current, e.current);
        }
    }

    void caps(std::int32_t v, std::int32_t lastVertex) {
        const Element& first = elements.front();
        const Element& last = elements.back();
        const bool start = v == 0, end = v == lastVertex;
        const std::int16_t f = style.flags;
        if (pass == 1 && (((f & kJoints) && v > 0 && v < lastVertex) || (start && (f & kStartSquare)) ||
                          (end && (f & kEndSquare)))) {
            Point mid;
            for (int i = 0; i < 3; ++i) mid[i] = (first.current[i] + last.current[i]) / 2.0;
            pen(first.colour);
            line(first.current, mid, &state()->continuousRecord, drawing);
            line(mid, last.current, &state()->continuousRecord, drawing);
            pen(last.colour);
        }
        const double sign = start ? 1.0 : -1.0;
        if ((start && (f & kStartOuter)) || (end && (f & kEndOuter))) {
            if (pass == 1)
                adDrawMlineArcCap(drawing, first.current.data(), last.current.data(), sign, first.colour, last.colour,
                                  model);
            else
                adFillMlineArcCap(drawing, first.current.data(), last.current.data(), sign, style.fillColour, model);
        }
        const std::size_t n = elements.size();
        if (((start && (f & kStartInner)) || (end && (f & kEndInner))) && n > 3) {
            if (pass == 1) {
                for (std::size_t i = 1; i < n / 2; ++i)
                    adDrawMlineArcCap(drawing, elements[i].current.data(), elements[n - 1 - i].current.data(), sign,
                                      elements[i].colour, elements[n - 1 - i].colour, model);
            } else {
                adFillMlineArcCap(drawing, elements[1].current.data(), elements[n - 2].current.data(), sign,
                                  style.fillColour, model);
            }
        }
    }

    void run(const AdMlineData* mline) {
        AdStream* in = adStreamOpenRead(mline->vertices);
        if (!in) return;
        const std::int32_t lastVertex = mline->vertexCount - 1;
        bool whole = true;
        for (std::int32_t v = 0; whole && v <= lastVertex; ++v) {
            Point p, d, m;
            if (!adStreamReadPoint3D(in, p.data()) || !adStreamReadPoint3D(in, d.data()) ||
                !adStreamReadPoint3D(in, m.data()))
                break;
            for (std::size_t e = 0; whole && e < elements.size(); ++e) whole = element(in, e, v, p, d, m);
            if (!whole) break;
            caps(v, lastVertex);
            for (Element& e : elements) {
                if (v == 0) e.first = e.last;
                e.previous = e.current;
            }
        }
        adStreamCloseRead(in);
        if (!whole || !(mline->flags & kClosedBit)) return;
        for (std::size_t e = 0; e < elements.size(); ++e) {
            Element& element = elements[e];
            if (pass == 1) elementLine(element, element.last, element.first);
            if (pass == 0 && e > 0) {
                const Element& before = elements[e - 1];
                fill(element, element.last, before.last, element.first, before.first);
            }
        }
    }
};

}  // namespace

int adDrawMline(AdDrawing* drawing, const AdMlineData* mline, std::int16_t layerColour, std::int16_t byBlockColour,
                const AdLtypeRecord* layerLinetype, const AdLtypeRecord* byBlockLinetype, const AdMatrix4* model,
                const AdMatrix4* matrices) {
    if (!mline->vertices || mline->lineCount <= 0 || mline->vertexCount <= 0) return 1;
    // Every element takes bytes of the store at each vertex: a count beyond
    // what the store holds is not believed.
    if (mline->lineCount > adStoreSize(mline->vertices) / kElementBytes) return 1;
    std::vector<Element> elements;
    try {
        elements.resize(static_cast<std::size_t>(mline->lineCount));
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_MLINE_LINETYPES);
        return 0;
    }
    Style style =
        readStyle(drawing, mline, elements, layerColour, byBlockColour, layerLinetype, byBlockLinetype);
    if (mline->flags & kClosedBit) style.flags = static_cast<std::int16_t>(style.flags & ~kArcCaps);
    for (int pass = (style.flags & kFill) ? 0 : 1; pass <= 1; ++pass) {
        for (Element& e : elements) e.penDown = false;
        Walk walk{drawing, model, matrices, elements, style, pass};
        walk.run(mline);
    }
    return 1;
}

void adDrawMlineEntity(AdDrawContext& entity) {
    AdDrawing* drawing = entity.drawing;
    const AdLayerRecord* layer = entity.layer;
    AdLtypeRecord* layerLinetype = static_cast<AdLtypeRecord*>(HostAlloc(sizeof(AdLtypeRecord)));
    if (!layerLinetype) {
        adNoMemory(AD_ERR_MLINE_LAYER_LINETYPE);
        return;
    }
    AdDrawing* owner = layer && layer->drawing ? layer->drawing : drawing;
    if (!layer || !adLtypeByHandle(owner, &layer->linetype, layerLinetype) || layerLinetype->dashCount <= 0)
        *layerLinetype = drawing->display->continuousRecord;
    const AdMlineData mline = entity.data->mline;
    adDrawMline(drawing, &mline, layer ? layer->colour : 7, entity.inherited->colour, layerLinetype,
                entity.inherited->linetype, entity.block, entity.matrices);
    HostFree(layerLinetype);
}
