// Symbol names as the fixed-record versions allow them: short, upper case,
// without blanks or brackets.
#include "toolkit/write/writer.h"
#include "toolkit/db/table_cursor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t kNameBytes = AD_LEGAL_NAME_SIZE - 1;

int digitCount(std::int32_t number) {
    std::uint32_t n = number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

// One part of a name (no '|') into out, which has room for capacity bytes
// with the terminator; answers the bytes written.
std::size_t legalPart(const char* name, std::int32_t number, std::int32_t limit, int codePage, char* out,
                      std::size_t capacity) {
    if (capacity == 0) return 0;
    out[0] = '\0';
    if (limit < 1) limit = 1;
    char* at = out;
    const char* in = name;
    const std::int32_t count = adTextCharCount(name, codePage);
    if (count > limit) {
        const int digits = digitCount(number);
        const std::int32_t keep = limit > digits ? limit - digits : 0;
        adCopyChars(&at, &in, keep, codePage, capacity);
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%u",
                      number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number));
        const std::size_t used = static_cast<std::size_t>(at - out);
        const std::size_t room = capacity - 1 - used;
        const std::size_t length = std::min(room, std::strlen(suffix));
        std::memcpy(at, suffix, length);
        at += length;
        *at = '\0';
    } else {
        adCopyChars(&at, &in, count, codePage, capacity);
    }
    // Blanks and brackets become underscores; double-byte characters are
    // left whole.
    for (char* c = out; *c;) {
        const std::int32_t length = adTextCharLength(c, codePage);
        const auto byte = static_cast<unsigned char>(*c);
        if (length == 1 && (byte == ' ' || byte == '(' || byte == ')' || byte == '[' || byte == ']' || byte == 0xBD))
            *c = '_';
        c += length > 0 ? length : 1;
    }
    return static_cast<std::size_t>(at - out);
}

// The position of the block with exactly that name in the BLOCK table; 0
// when there is none.
std::int32_t blockNumber(AdDrawing* drawing, const char* name) {
    std::int32_t position = 0;
    for (AdListRecord* r = adListFirst(adTableList(drawing, adBlockTable)); r; r = r->next, ++position) {
        char stored[AD_TABLE_NAME_SIZE];
        adTableReadField(r, adBlockTable.nameOffset, stored, sizeof stored);
        stored[sizeof stored - 1] = '\0';
        if (std::strcmp(stored, name) == 0) return position;
    }
    return 0;
}
}  // namespace

int adDwgLegalName(AdDrawing* drawing, const AdXrefBudgets* budgets, const char* name, std::int32_t number,
                   std::int16_t limit, char* output) {
    const int codePage = drawing && drawing->header ? drawing->header->dwgcodepage : 0;
    std::memset(output, 0, AD_LEGAL_NAME_SIZE);
    const char* bar = adTextFindChar(name, '|', codePage);
    if (!bar) {
        legalPart(name, number, limit, codePage, output, AD_LEGAL_NAME_SIZE);
    } else {
        char reference[AD_TABLE_NAME_SIZE];
        const std::size_t prefix = std::min(static_cast<std::size_t>(bar - name), sizeof reference - 1);
        std::memcpy(reference, name, prefix);
        reference[prefix] = '\0';
        const std::int16_t budget = adXrefNameBudget(budgets, reference);
        std::size_t used =
            legalPart(reference, blockNumber(drawing, reference), budget, codePage, output, AD_LEGAL_NAME_SIZE);
        // Both halves share the 32 bytes of the field; the second takes what
        // the first leaves.
        if (used + 1 < kNameBytes) {
            output[used++] = '|';
            legalPart(bar + 1, number, adGetNameLengthLimit(), codePage, output + used, AD_LEGAL_NAME_SIZE - used);
        }
    }
    adStrUpper(output, codePage);
    return 1;
}
