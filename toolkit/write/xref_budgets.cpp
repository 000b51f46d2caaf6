// How long the external-reference part of a dependent symbol name may be in
// the fixed-record versions: each reference gets what its longest dependent
// name leaves of 30 characters.
#include "toolkit/write/writer.h"

#include <cstring>
#include <memory>

namespace {
constexpr std::int32_t kNameBudget = 30;
constexpr std::int32_t kLeastBudget = 4;

bool noteName(AdDrawing* drawing, AdXrefBudgets* budgets, const char* name) {
    const int codePage = drawing->header ? drawing->header->dwgcodepage : 0;
    const char* bar = adTextFindChar(name, '|', codePage);
    if (!bar) return true;
    char blockName[AD_TABLE_NAME_SIZE];
    const std::size_t prefix = static_cast<std::size_t>(bar - name);
    if (prefix >= sizeof blockName) return true;
    std::memcpy(blockName, name, prefix);
    blockName[prefix] = '\0';
    AdHandle block{};
    if (!adBlockHandleByName(drawing, blockName, &block)) return true;
    std::int32_t budget = kNameBudget - adTextCharCount(bar + 1, codePage);
    if (budget <= 3) budget = kLeastBudget;
    for (std::int32_t i = 0; i < budgets->count; ++i) {
        AdXrefBudget& record = budgets->records[i];
        if (std::memcmp(record.block.b, block.b, sizeof block.b) == 0) {
            if (budget < record.budget) record.budget = budget;
            return true;
        }
    }
    if (budgets->count == budgets->capacity) {
        const std::int32_t capacity = budgets->capacity ? budgets->capacity * 2 : 16;
        auto* grown = static_cast<AdXrefBudget*>(HostAlloc(sizeof(AdXrefBudget) * static_cast<std::size_t>(capacity)));
        if (!grown) return false;
        if (budgets->count) std::memcpy(grown, budgets->records, sizeof(AdXrefBudget) * budgets->count);
        HostFree(budgets->records);
        budgets->records = grown;
        budgets->capacity = capacity;
    }
    AdXrefBudget& record = budgets->records[budgets->count++];
    record.block = block;
    std::memcpy(record.blockName, blockName, prefix + 1);
    record.budget = budget;
    return true;
}

template <typename Record, typename Rewind, typename Next>
bool noteTable(AdDrawing* drawing, AdXrefBudgets* budgets, Rewind rewind, Next next) {
    auto record = std::make_unique<Record>();
    rewind(drawing);
    while (next(drawing, record.get())) {
        if (!record->erased && !noteName(drawing, budgets, record->name)) return false;
    }
    return true;
}
}  // namespace

int adBuildXrefNameBudgets(AdDrawing* drawing, AdXrefBudgets* budgets) {
    adFreeXrefNameBudgets(budgets);
    const bool built = noteTable<AdAppidRecord>(drawing, budgets, adAppidRewind, adAppidNext) &&
                       noteTable<AdLayerRecord>(drawing, budgets, adLayerRewind, adLayerNext) &&
                       noteTable<AdLtypeRecord>(drawing, budgets, adLtypeRewind, adLtypeNext);
    if (!built) adFreeXrefNameBudgets(budgets);
    return built ? 1 : 0;
}

std::int16_t adXrefNameBudget(const AdXrefBudgets* budgets, const char* blockName) {
    for (std::int32_t i = 0; budgets && i < budgets->count; ++i) {
        if (adStrCompareNoCase(budgets->records[i].blockName, blockName) == 0)
            return static_cast<std::int16_t>(budgets->records[i].budget);
    }
    return adGetNameLengthLimit();
}

void adFreeXrefNameBudgets(AdXrefBudgets* budgets) {
    if (budgets->records) HostFree(budgets->records);
    *budgets = AdXrefBudgets{};
}
