// The DXF writer: group output in ASCII and binary form, and the section
// writers built on it. Internal to the toolkit.
#pragma once
#include "toolkit/write/writer.h"

#include <cstddef>
#include <cstdint>

// ----- Number settings and value texts -----
// Stores the caller's settings in the output: the minus-zero flag, the
// precision N (decimal places of reals, and the width of integers) and the
// default-groups flag; the rounding threshold becomes 0.5 * 0.1^N.
void adDxfSetNumberFormat(AdOutputDrawing* output, std::int32_t minusZero, std::int32_t precision,
                          std::int32_t defaultGroups);
// The ASCII value text of a real at the output's precision, and at full
// precision (16 decimals); text holds AD_DXF_NUMBER_SIZE bytes. No line end.
constexpr std::size_t AD_DXF_NUMBER_SIZE = 400;
void adDxfFormatReal(const AdOutputDrawing* output, double value, char* text);
void adDxfFormatFullReal(const AdOutputDrawing* output, double value, char* text);

// ----- Group writers: 1 when written, 0 after a failed write (AD_ERR_WRITE) -----
int adDxfWriteGroupCode(AdOutputDrawing* output, std::int16_t code);
int adDxfWriteCharGroup(AdOutputDrawing* output, std::int16_t code, char value);
int adDxfWriteByteGroup(AdOutputDrawing* output, std::int16_t code, std::int8_t value);
int adDxfWriteShortGroup(AdOutputDrawing* output, std::int16_t code, std::int16_t value);
int adDxfWriteLongGroup(AdOutputDrawing* output, std::int16_t code, std::int32_t value);
int adDxfWriteRealGroup(AdOutputDrawing* output, std::int16_t code, const double* value);
int adDxfWriteFullRealGroup(AdOutputDrawing* output, std::int16_t code, const double* value);
int adDxfWriteAngleGroup(AdOutputDrawing* output, std::int16_t code, const double* radians);
int adDxfWriteStringGroup(AdOutputDrawing* output, std::int16_t code, const char* text);
// Control characters as "^" and the character + 0x40, a caret as "^ ".
int adDxfWriteEscapedGroup(AdOutputDrawing* output, std::int16_t code, const char* text);
// A symbol name: legalised for the versions before AC1015 (number and limit
// as adDwgLegalName takes them), unchanged from AC1015.
int adDxfWriteNameGroup(AdDrawing* source, AdOutputDrawing* output, std::int16_t code, const char* name,
                        std::int32_t number, std::int16_t limit);
int adDxfWriteHandleGroup(AdOutputDrawing* output, std::int16_t code, const AdHandle* handle);
// The store in pieces of at most chunkSize bytes, each one group.
int adDxfWriteBinaryChunks(AdOutputDrawing* output, AdStore* store, std::int16_t code, std::int32_t chunkSize);
// count handles with their kinds (9-byte entries) as 330/340/350/360 groups.
int adDxfWriteHandleRefs(AdOutputDrawing* output, AdStore* store, std::int32_t count);
// Group-coded data kept bit-coded in a store (what the reader kept of an
// entity or object of a class it does not know): each code and its value as
// a group until the code 0; the 330..369 groups take their handles from the
// 9-byte entries of handles (count of them). A binary chunk longer than 1023
// bytes is left out. 0 after a failed write, a code of no known value class
// (the rest is still written) or a store that cannot be read.
int adDxfWriteGroupData(AdOutputDrawing* output, AdStore* data, AdStore* handles, std::int32_t count);
// The number a class of the drawing has in the file: readers number the
// classes of CLASSES by their place, which is that of the drawing's list.
// A number of no class stays as it is.
std::int32_t adDxfWrittenClassNumber(AdDrawing* source, std::int32_t number);
// count 8-byte handles as 330 groups.
int adDxfWriteReactorHandles(AdOutputDrawing* output, AdStore* store, std::int32_t count);

// Points: x with the base code, y with base + 10, z with base + 20.
int adDxfWritePoint2D(AdOutputDrawing* output, std::int16_t code, const double* point);
int adDxfWritePoint3D(AdOutputDrawing* output, std::int16_t code, const double* point);
int adDxfWritePointGroups(AdOutputDrawing* output, std::int16_t code, const double* point, int coordinates);
// z only from AC1006 and when it is not 0 (or default groups are asked for).
int adDxfWritePointOptZ(AdOutputDrawing* output, std::int16_t code, const double* point);
// z when it is not 0 or the version is AC1006 or later.
int adDxfWritePointZ(AdOutputDrawing* output, std::int16_t code, const double* point);
int adDxfWriteFullPoint2D(AdOutputDrawing* output, std::int16_t code, const double* point);
int adDxfWriteFullPoint3D(AdOutputDrawing* output, std::int16_t code, const double* point);
int adDxfWriteFullPointGroups(AdOutputDrawing* output, std::int16_t code, const double* point, int coordinates);

// Header variables: 9 and the name, then the value.
int adDxfWritePoint2DVar(AdOutputDrawing* output, const char* name, std::int16_t code, const double* point);
int adDxfWritePoint3DVar(AdOutputDrawing* output, const char* name, std::int16_t code, const double* point);
int adDxfWriteFullPoint3DVar(AdOutputDrawing* output, const char* name, std::int16_t code, const double* point);
int adDxfWriteRealVar(AdOutputDrawing* output, const char* name, double value);
int adDxfWriteAngleVar(AdOutputDrawing* output, const char* name, double radians);
int adDxfWriteByteVar(AdOutputDrawing* output, const char* name, std::int16_t code, std::int8_t value);
int adDxfWriteShortVar(AdOutputDrawing* output, const char* name, std::int16_t code, std::int16_t value);
int adDxfWriteFlagVar(AdOutputDrawing* output, const char* name, std::int16_t value);
int adDxfWriteStringVar(AdOutputDrawing* output, const char* name, std::int16_t code, const char* text);
// A date as days.fraction: 9 decimals when decimals is 9, else 10.
int adDxfWriteDateVar(AdOutputDrawing* output, const char* name, AdJulianDate date, int decimals);

// ----- Section framing -----
// The 22 bytes that open a binary file.
int adDxfWriteBinarySentinel(AdOutputDrawing* output);
int adDxfBeginSection(AdOutputDrawing* output, const char* name);
int adDxfEndSection(AdOutputDrawing* output);
int adDxfEndTable(AdOutputDrawing* output);
// 0 ENDSEC, 0 EOF, and the file closed; 1 when all three succeeded.
int adDxfFinish(AdOutputDrawing* output);

// A run of group writes that stops at the first failure: the record writers
// chain their groups through one of these and answer its ok at the end.
struct AdDxfGroupRun {
    AdOutputDrawing* output;
    int ok = 1;

    void text(std::int16_t code, const char* value) {
        if (ok) ok = adDxfWriteStringGroup(output, code, value);
    }
    void shortGroup(std::int16_t code, std::int16_t value) {
        if (ok) ok = adDxfWriteShortGroup(output, code, value);
    }
    void byteGroup(std::int16_t code, std::int8_t value) {
        if (ok) ok = adDxfWriteByteGroup(output, code, value);
    }
    void longGroup(std::int16_t code, std::int32_t value) {
        if (ok) ok = adDxfWriteLongGroup(output, code, value);
    }
    void handle(std::int16_t code, const AdHandle& value) {
        if (ok) ok = adDxfWriteHandleGroup(output, code, &value);
    }
    void real(std::int16_t code, double value) {
        if (ok) ok = adDxfWriteRealGroup(output, code, &value);
    }
    void angle(std::int16_t code, double radians) {
        if (ok) ok = adDxfWriteAngleGroup(output, code, &radians);
    }
    void point2(std::int16_t code, const double* point) {
        if (ok) ok = adDxfWritePoint2D(output, code, point);
    }
    void point3(std::int16_t code, const double* point) {
        if (ok) ok = adDxfWritePoint3D(output, code, point);
    }
    void full3(std::int16_t code, const double* point) {
        if (ok) ok = adDxfWriteFullPoint3D(output, code, point);
    }
};
