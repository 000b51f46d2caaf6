// The matrix records of a proxy-graphics stream: a type 29 record places
// what follows it (a table's cells, say, drawn about their own origin) until
// its type 31 record. Left unapplied, such graphics are drawn far from the
// entity they belong to.
#include "toolkit/display/proxy_draw.h"

#include <cmath>

struct AdProxyTransform {
    AdMatrix4 model;
    AdMatrix4 matrices[AD_VIEWPORT_LIMIT];
    const AdMatrix4* savedModel;
    const AdMatrix4* savedMatrices;
};

namespace {

// The record's rows act on column vectors: transposed into the engine's
// row-vector form. A matrix that is not finite or has no inverse places
// nothing (identity), so that its pop still pairs with it.
AdMatrix4 placement(const double values[16]) {
    AdMatrix4 m = adIdentityMatrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[c][r] = values[4 * r + c];
    AdMatrix4 check = m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.m[r][c])) return adIdentityMatrix;
    return adMatrixInvert(&check) ? m : adIdentityMatrix;
}

}  // namespace

void adProxyPushTransform(AdProxyDraw& d, const double values[16]) {
    AdProxyTransform* level = nullptr;
    if (d.transformDepth < AD_PROXY_TRANSFORM_DEPTH && d.transformsUnkept == 0)
        level = static_cast<AdProxyTransform*>(HostAlloc(sizeof(AdProxyTransform)));
    if (!level) {
        ++d.transformsUnkept;
        return;
    }
    const AdMatrix4 t = placement(values);
    level->savedModel = d.model;
    level->savedMatrices = d.matrices;
    adMatrixMultiply(&t, d.model ? d.model : &adIdentityMatrix, &level->model);
    for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) adMatrixMultiply(&t, &d.matrices[v], &level->matrices[v]);
    d.model = &level->model;
    d.matrices = level->matrices;
    d.transforms[d.transformDepth++] = level;
}

void adProxyPopTransform(AdProxyDraw& d) {
    if (d.transformsUnkept > 0) {
        --d.transformsUnkept;
        return;
    }
    if (d.transformDepth == 0) return;
    AdProxyTransform* level = d.transforms[--d.transformDepth];
    d.model = level->savedModel;
    d.matrices = level->savedMatrices;
    HostFree(level);
}

void adProxyDropTransforms(AdProxyDraw& d) {
    d.transformsUnkept = 0;
    while (d.transformDepth > 0) adProxyPopTransform(d);
}
