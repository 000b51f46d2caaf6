// 4 x 4 matrices of the display engine: row vectors, translation in row 3,
// A x B applies A first.
#include "toolkit/display/render_state.h"

#include <cmath>
#include <utility>

const AdMatrix4 adIdentityMatrix = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

void adMatrixIdentity(AdMatrix4* matrix) { *matrix = adIdentityMatrix; }

void adMatrixMultiply(const AdMatrix4* a, const AdMatrix4* b, AdMatrix4* out) {
    AdMatrix4 product;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a->m[i][k] * b->m[k][j];
            product.m[i][j] = sum;
        }
    *out = product;
}

// Gauss-Jordan elimination in place, the pivot of each pass taken from the
// largest entry of its row (columns swapped, undone at the end). A zero pivot
// or a result that is not finite leaves the matrix as it was.
int adMatrixInvert(AdMatrix4* matrix) {
    AdMatrix4 m = *matrix;
    int permutation[4] = {0, 1, 2, 3};
    for (int k = 0; k < 4; ++k) {
        int q = k;
        for (int j = k + 1; j < 4; ++j)
            if (std::fabs(m.m[k][j]) > std::fabs(m.m[k][q])) q = j;
        const double pivot = m.m[k][q];
        if (pivot == 0.0 || !std::isfinite(pivot)) return 0;
        const double r = 1.0 / pivot;
        double t[4], u[4];
        for (int i = 0; i < 4; ++i) {
            t[i] = m.m[i][q];
            m.m[i][q] = m.m[i][k];
            m.m[i][k] = -r * t[i];
            m.m[k][i] = r * m.m[k][i];
            u[i] = m.m[k][i];
        }
        m.m[k][k] = r;
        std::swap(permutation[k], permutation[q]);
        for (int i = 0; i < 4; ++i) {
            if (i == k) continue;
            for (int j = 0; j < 4; ++j)
                if (j != k) m.m[i][j] -= t[i] * u[j];
        }
    }
    for (int k = 0; k < 4; ++k)
        while (permutation[k] != k) {
            const int other = permutation[k];
            std::swap(m.m[k], m.m[other]);
            std::swap(permutation[k], permutation[other]);
        }
    for (const auto& row : m.m)
        for (double value : row)
            if (!std::isfinite(value)) return 0;
    *matrix = m;
    return 1;
}

void adTransformPoint(const double p[4], const AdMatrix4* matrix, double out[4]) {
    double result[4];
    for (int j = 0; j < 4; ++j)
        result[j] = p[0] * matrix->m[0][j] + p[1] * matrix->m[1][j] + p[2] * matrix->m[2][j] + p[3] * matrix->m[3][j];
    for (int j = 0; j < 4; ++j) out[j] = result[j];
}

void adMatrixPreTranslate(const double t[3], AdMatrix4* matrix) {
    for (int j = 0; j < 4; ++j)
        matrix->m[3][j] += t[0] * matrix->m[0][j] + t[1] * matrix->m[1][j] + t[2] * matrix->m[2][j];
}

void adMatrixPostTranslate(double tx, double ty, double tz, AdMatrix4* matrix) {
    for (auto& row : matrix->m) {
        row[0] += tx * row[3];
        row[1] += ty * row[3];
        row[2] += tz * row[3];
    }
}

void adMatrixScaleAxes(double sx, double sy, double sz, AdMatrix4* matrix) {
    const double px = matrix->m[3][0], py = matrix->m[3][1], pz = matrix->m[3][2];
    adMatrixPostTranslate(-px, -py, -pz, matrix);
    const double scale[3] = {sx, sy, sz};
    for (int i = 0; i < 3; ++i)
        for (double& value : matrix->m[i]) value *= scale[i];
    adMatrixPostTranslate(px, py, pz, matrix);
}

void adMatrixRotateZ(double angle, AdMatrix4* matrix) {
    const double cs = std::cos(angle), sn = std::sin(angle);
    for (int j = 0; j < 4; ++j) {
        const double row0 = matrix->m[0][j], row1 = matrix->m[1][j];
        matrix->m[0][j] = cs * row0 + sn * row1;
        matrix->m[1][j] = cs * row1 - sn * row0;
    }
}

double adMatrixScale(const AdMatrix4* matrix) {
    const auto& m = matrix->m;
    const double x = m[0][0] + m[1][0] + m[2][0];
    const double y = m[0][1] + m[1][1] + m[2][1];
    const double z = m[0][2] + m[1][2] + m[2][2];
    return std::sqrt((x * x + y * y + z * z) / 3.0);
}

void adTransformByGlobal(double point[3]) {
    const double p[4] = {point[0], point[1], point[2], 1.0};
    double out[4];
    adTransformPoint(p, &adDisplayGlobals->transform, out);
    point[0] = out[0];
    point[1] = out[1];
    point[2] = out[2];
}
