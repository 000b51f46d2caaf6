// Attribute records: a chain of attributes hanging off their owner, with the
// colour attributes that carry an RGB value and one class for every other
// attribute, whose data is skipped.
#pragma once
#include "toolkit/solids/acis_entity.h"

#include <array>
#include <cstdint>
#include <memory>

class acis_Attrib : public acis_Entity {
public:
    // Reads the attribute reference and the chain: next, previous, owner.
    explicit acis_Attrib(satParser& parser);
    void print(std::ostream& out) const override;
    void readData(satParser&) override {}
    void setPointerField(std::int32_t field, acis_Entity* entity) override;
    virtual const char* name() const = 0;

    acis_Entity* next() const { return next_; }
    acis_Entity* previous() const { return previous_; }
    acis_Entity* owner() const { return owner_; }
    // The chain's link, for the parser's cycle check.
    acis_Entity** nextLink() { return &next_; }

private:
    acis_Entity* next_ = nullptr;
    acis_Entity* previous_ = nullptr;
    acis_Entity* owner_ = nullptr;
};

// Any attribute without a class of its own; the parser skips its data.
class acis_IgnoredAttrib : public acis_Attrib {
public:
    using acis_Attrib::acis_Attrib;
    const char* name() const override { return "IGNORED-attrib"; }
};

class acis_ColorAttrib : public acis_Attrib {
public:
    explicit acis_ColorAttrib(satParser& parser);
    void print(std::ostream& out) const override;
    void setRGB(const double rgb[3]);
    // Red, green and blue, each 0..1.
    const double* rgb() const { return rgb_.get(); }

private:
    std::unique_ptr<double[]> rgb_;
};

class acis_RgbColorAttrib : public acis_ColorAttrib {
public:
    explicit acis_RgbColorAttrib(satParser& parser);
    void readData(satParser& parser) override;
    const char* name() const override { return "rgb_color-st-attrib"; }
};

// A colour given by its index in the 256-entry palette.
class acis_IndexedColorAttrib : public acis_ColorAttrib {
public:
    using acis_ColorAttrib::acis_ColorAttrib;
    void print(std::ostream& out) const override;
    std::int32_t index() const { return mIndex; }

protected:
    // Reads the index: negative becomes 0, the colour is the entry modulo 256.
    void readIndex(satParser& parser, const std::array<std::array<double, 3>, 256>& table);
    std::int32_t mIndex = 0;
};

class acis_TslColorAttrib : public acis_IndexedColorAttrib {
public:
    explicit acis_TslColorAttrib(satParser& parser);
    void readData(satParser& parser) override;
    const char* name() const override { return "colour-tsl-attrib"; }
};

class acis_AdeskColorAttrib : public acis_IndexedColorAttrib {
public:
    explicit acis_AdeskColorAttrib(satParser& parser);
    void readData(satParser& parser) override;
    const char* name() const override { return "color-adesk-attrib"; }
};

// The palette entry of a colour index 0..255 as 0..255 components.
std::array<std::uint8_t, 3> acisPaletteEntry(int index);

// The attribute class a keyword selects, reading the record; null when the
// keyword is not an attribute. `ignored` tells that the rest of the record
// is to be skipped.
acis_Entity* readAttribute(satParser& parser, const char* keyword, bool& ignored);
