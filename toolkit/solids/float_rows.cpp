#include "toolkit/solids/float_rows.h"

#include <new>

float** allocFloatRows(std::int32_t rows, std::int32_t columns) {
    if (rows < 0 || columns < 0) return nullptr;
    float** table = new (std::nothrow) float*[rows + 1]();
    if (!table) return nullptr;
    for (std::int32_t i = 0; i < rows; ++i) {
        table[i] = new (std::nothrow) float[columns > 0 ? columns : 1]();
        if (!table[i]) {
            freeFloatRows(table);
            return nullptr;
        }
    }
    return table;
}

void freeFloatRows(float**& rows) {
    if (!rows) return;
    for (float** row = rows; *row; ++row) delete[] *row;
    delete[] rows;
    rows = nullptr;
}
