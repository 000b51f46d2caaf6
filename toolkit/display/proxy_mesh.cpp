// Meshes and shells of the proxy-graphics stream: their vertices, the
// shell's face list, and the edge, face and vertex attribute blocks of the
// trailer. Every count is 16-bit in the stream's writers: a larger one is
// damage and fails the record instead of asking for huge arrays.
#include "toolkit/display/proxy.h"

#include <cstdlib>
#include <cstring>

namespace {

template <typename T>
T* allocate(std::int32_t count) {
    return static_cast<T*>(HostAlloc(sizeof(T) * static_cast<std::size_t>(count > 0 ? count : 1)));
}

void freeAttributes(AdProxyAttributes* a) {
    void* arrays[] = {a->edgeColours, a->faceColours, a->edgeLayers, a->edgeLinetypes,
                      a->faceLayers, a->edgeVisibility, a->faceVisibility};
    for (void* p : arrays)
        if (p) HostFree(p);
    const std::int32_t edges = a->edgeCount, faces = a->faceCount;
    *a = AdProxyAttributes{};
    a->edgeCount = edges;
    a->faceCount = faces;
}

// A short array kept when its flag is set; false on a failed read or no memory.
bool shorts(AdStream* s, std::int32_t flags, std::int32_t bit, std::int32_t n, std::int16_t** out, bool* noMemory) {
    if (!(flags & bit)) return true;
    *out = allocate<std::int16_t>(n);
    if (!*out) return !(*noMemory = true);
    return adProxyReadShorts(s, n, *out) != 0;
}

bool longs(AdStream* s, std::int32_t flags, std::int32_t bit, std::int32_t n, std::int32_t** out, bool* noMemory) {
    if (!(flags & bit)) return true;
    *out = allocate<std::int32_t>(n);
    if (!*out) return !(*noMemory = true);
    return adProxyReadLongs(s, n, *out) != 0;
}

// The three flag blocks after the vertices (and the shell's face list).
bool readTrailer(AdStream* s, AdProxyAttributes* a, std::int32_t vertexCount, bool* noMemory) {
    const std::int32_t e = a->edgeCount, f = a->faceCount;
    std::int32_t flags = 0;
    if (!adStreamReadLong(s, &flags)) return false;
    if (flags != 0 &&
        !(shorts(s, flags, 0x01, e, &a->edgeColours, noMemory) && shorts(s, flags, 0x02, e, &a->edgeLayers, noMemory) &&
          shorts(s, flags, 0x04, e, &a->edgeLinetypes, noMemory) && (!(flags & 0x20) || adProxySkipLongs(s, e)) &&
          longs(s, flags, 0x40, e, &a->edgeVisibility, noMemory)))
        return false;
    if (!adStreamReadLong(s, &flags)) return false;
    if (flags != 0 &&
        !(shorts(s, flags, 0x01, f, &a->faceColours, noMemory) && shorts(s, flags, 0x02, f, &a->faceLayers, noMemory) &&
          (!(flags & 0x20) || adProxySkipLongs(s, f)) && (!(flags & 0x80) || adProxySkipPoints(s, f)) &&
          longs(s, flags, 0x40, f, &a->faceVisibility, noMemory)))
        return false;
    if (!adStreamReadLong(s, &flags)) return false;
    return (!(flags & 0x80) || adProxySkipPoints(s, vertexCount)) && (!(flags & 0x400) || adProxySkipLongs(s, 1));
}

bool readVertices(AdStream* s, std::int32_t count, double* vertices) {
    for (std::int32_t i = 0; i < count; ++i)
        if (!adStreamReadPoint3D(s, &vertices[3 * i])) return false;
    return true;
}

// E and F of a face list: a positive count starts a face, a negative one a
// hole of the face before it. False when an entry runs past the list.
bool countFaces(const std::int32_t* list, std::int32_t length, std::int32_t* edges, std::int32_t* faces) {
    std::int64_t e = 0, f = 0;
    for (std::int32_t i = 0; i < length;) {
        const std::int64_t k = list[i++];
        const std::int64_t n = std::llabs(k);
        if (n > length - i) return false;
        e += n;
        if (k > 0) ++f;
        i += static_cast<std::int32_t>(n);
    }
    *edges = static_cast<std::int32_t>(e);
    *faces = static_cast<std::int32_t>(f);
    return e < AD_PROXY_COUNT_LIMIT && f < AD_PROXY_COUNT_LIMIT;
}

}  // namespace

int adProxyReadMesh(AdStream* stream, std::int32_t rows, std::int32_t columns, AdProxyMesh* mesh) {
    *mesh = AdProxyMesh{};
    const std::int64_t count = std::int64_t{rows} * columns;
    if (rows < 0 || columns < 0 || count >= AD_PROXY_COUNT_LIMIT) return 0;
    std::int64_t edges = 0, faces = 0;
    if (rows > 0 && columns > 0) {
        edges = std::int64_t{rows} * (columns - 1) + std::int64_t{columns} * (rows - 1);
        faces = std::int64_t{rows - 1} * (columns - 1);
    }
    if (edges >= AD_PROXY_COUNT_LIMIT || faces >= AD_PROXY_COUNT_LIMIT) return 0;
    mesh->vertices = allocate<double>(static_cast<std::int32_t>(3 * count));
    if (!mesh->vertices) {
        adNoMemory(AD_ERR_PROXY_MESH_VERTICES);
        return 0;
    }
    mesh->attributes.edgeCount = static_cast<std::int32_t>(edges);
    mesh->attributes.faceCount = static_cast<std::int32_t>(faces);
    bool noMemory = false;
    if (readVertices(stream, static_cast<std::int32_t>(count), mesh->vertices) &&
        readTrailer(stream, &mesh->attributes, static_cast<std::int32_t>(count), &noMemory))
        return 1;
    if (noMemory) adNoMemory(AD_ERR_PROXY_MESH_ARRAYS);
    adProxyFreeMesh(mesh);
    return 0;
}

void adProxyFreeMesh(AdProxyMesh* mesh) {
    freeAttributes(&mesh->attributes);
    if (mesh->vertices) HostFree(mesh->vertices);
    mesh->vertices = nullptr;
}

int adProxyReadShell(AdStream* stream, std::int32_t vertexCount, AdProxyShell* shell) {
    *shell = AdProxyShell{};
    if (vertexCount < 0 || vertexCount >= AD_PROXY_COUNT_LIMIT) return 0;
    shell->vertices = allocate<double>(3 * vertexCount);
    if (!shell->vertices) {
        adNoMemory(AD_ERR_PROXY_SHELL_VERTICES);
        return 0;
    }
    shell->vertexCount = vertexCount;
    std::int32_t length = 0;
    if (!readVertices(stream, vertexCount, shell->vertices) || !adStreamReadLong(stream, &length) || length < 0 ||
        length >= AD_PROXY_COUNT_LIMIT) {
        adProxyFreeShell(shell);
        return 0;
    }
    shell->faceList = allocate<std::int32_t>(length);
    if (!shell->faceList) {
        adNoMemory(AD_ERR_PROXY_SHELL_FACES);
        adProxyFreeShell(shell);
        return 0;
    }
    shell->faceListLength = length;
    bool noMemory = false;
    if (adProxyReadLongs(stream, length, shell->faceList) &&
        countFaces(shell->faceList, length, &shell->attributes.edgeCount, &shell->attributes.faceCount) &&
        readTrailer(stream, &shell->attributes, vertexCount, &noMemory))
        return 1;
    if (noMemory) adNoMemory(AD_ERR_PROXY_SHELL_ARRAYS);
    adProxyFreeShell(shell);
    return 0;
}

void adProxyFreeShell(AdProxyShell* shell) {
    freeAttributes(&shell->attributes);
    if (shell->vertices) HostFree(shell->vertices);
    if (shell->faceList) HostFree(shell->faceList);
    shell->vertices = nullptr;
    shell->faceList = nullptr;
}
