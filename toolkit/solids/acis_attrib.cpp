#include "toolkit/solids/acis_attrib.h"

#include "toolkit/solids/sat_parser.h"

#include <cstring>

namespace {

using PaletteTable = std::array<std::array<double, 3>, 256>;

// Each indexed class converts the palette once, on first use.
PaletteTable convertPalette() {
    PaletteTable table{};
    for (int i = 0; i < 256; ++i) {
        const auto entry = acisPaletteEntry(i);
        for (int c = 0; c < 3; ++c) table[i][c] = entry[c] * (1.0 / 255.0);
    }
    return table;
}

const PaletteTable& tslPalette() {
    static const PaletteTable table = convertPalette();
    return table;
}

const PaletteTable& adeskPalette() {
    static const PaletteTable table = convertPalette();
    return table;
}

bool endsInAttrib(const char* keyword) {
    const std::size_t n = std::strlen(keyword);
    return n >= 6 && std::strcmp(keyword + n - 6, "attrib") == 0;
}

}  // namespace

acis_Attrib::acis_Attrib(satParser& parser) : acis_Entity(parser) { readPointerFields(parser, 1200, 3); }

void acis_Attrib::print(std::ostream& out) const {
    printSequence(out);
    out << name();
    acis_Entity::print(out);
    printReference(out, next_);
    printReference(out, previous_);
    printReference(out, owner_);
}

void acis_Attrib::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 1200: next_ = entity; break;
        case 1201: previous_ = entity; break;
        case 1202: owner_ = entity; break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

acis_ColorAttrib::acis_ColorAttrib(satParser& parser) : acis_Attrib(parser), rgb_(new double[3]{}) {}

void acis_ColorAttrib::setRGB(const double rgb[3]) {
    if (rgb_) std::memcpy(rgb_.get(), rgb, 3 * sizeof(double));
}

void acis_ColorAttrib::print(std::ostream& out) const {
    acis_Attrib::print(out);
    out << "(r,g,b) = (" << rgb_[0] << ", " << rgb_[1] << ", " << rgb_[2] << ")";
}

acis_RgbColorAttrib::acis_RgbColorAttrib(satParser& parser) : acis_ColorAttrib(parser) { readData(parser); }

void acis_RgbColorAttrib::readData(satParser& parser) {
    double rgb[3] = {};
    parser.readDoubles(rgb, 3);
    setRGB(rgb);
}

void acis_IndexedColorAttrib::print(std::ostream& out) const {
    acis_ColorAttrib::print(out);
    out << "mIndex = " << mIndex;
}

void acis_IndexedColorAttrib::readIndex(satParser& parser, const PaletteTable& table) {
    parser.readInt(mIndex);
    if (mIndex < 0) mIndex = 0;
    setRGB(table[mIndex % 256].data());
}

acis_TslColorAttrib::acis_TslColorAttrib(satParser& parser) : acis_IndexedColorAttrib(parser) {
    tslPalette();
    readData(parser);
}

void acis_TslColorAttrib::readData(satParser& parser) { readIndex(parser, tslPalette()); }

acis_AdeskColorAttrib::acis_AdeskColorAttrib(satParser& parser) : acis_IndexedColorAttrib(parser) {
    adeskPalette();
    readData(parser);
}

void acis_AdeskColorAttrib::readData(satParser& parser) { readIndex(parser, adeskPalette()); }

acis_Entity* readAttribute(satParser& parser, const char* keyword, bool& ignored) {
    ignored = false;
    if (std::strcmp(keyword, "color-adesk-attrib") == 0) return new acis_AdeskColorAttrib(parser);
    if (std::strcmp(keyword, "colour-tsl-attrib") == 0) return new acis_TslColorAttrib(parser);
    if (std::strcmp(keyword, "rgb_color-st-attrib") == 0) return new acis_RgbColorAttrib(parser);
    if (!endsInAttrib(keyword)) return nullptr;
    ignored = true;
    return new acis_IgnoredAttrib(parser);
}
