// Vertex welding: sort the vertices along the axis of largest spread, then
// sweep; each vertex not yet welded opens a new unique vertex and takes every
// later vertex within reach of it along the sort axis whose compared floats
// all lie within the tolerance and whose extra words are equal.
#include "collision/polyhedra.h"

#include "core/scratch_stack.h"
#include "platform/fpu_precision.h"

#include <algorithm>
#include <cmath>
#include <cstring>

int VertexListToIndexList(float* vertices, int strideInBytes, int compareBytes, int extraBytes,
                          int count, int32_t* indexListOut, float tolerance) {
    if (strideInBytes < 12 || compareBytes < 0 || extraBytes < 0 ||
        compareBytes + extraBytes < 12 || compareBytes + extraBytes > strideInBytes || count <= 0) {
        return 0;
    }
    phFpuPrecisionGuard precision(kFpuPrecision53);

    const size_t stride = static_cast<size_t>(strideInBytes);
    char* bytes = reinterpret_cast<char*>(vertices);
    auto component = [&](int vertex, int i) {
        float value;
        std::memcpy(&value, bytes + size_t(vertex) * stride + size_t(i) * sizeof(float),
                    sizeof(float));
        return value;
    };

    // Sort axis: the one with the largest spread count·Σx² - (Σx)².
    double sum[3] = {0.0, 0.0, 0.0};
    double sumSquares[3] = {0.0, 0.0, 0.0};
    for (int v = 0; v < count; ++v) {
        for (int i = 0; i < 3; ++i) {
            const double x = component(v, i);
            sum[i] += x;
            sumSquares[i] += x * x;
        }
    }
    double spread[3];
    for (int i = 0; i < 3; ++i) {
        spread[i] = count * sumSquares[i] - sum[i] * sum[i];
    }
    int axis = 0;
    if (spread[1] >= spread[0] && spread[1] >= spread[2]) {
        axis = 1;
    } else if (spread[2] >= spread[0] && spread[2] >= spread[1]) {
        axis = 2;
    }

    phScratchArray<int32_t> order(static_cast<size_t>(count));
    phScratchArray<int32_t> newIndex(static_cast<size_t>(count));
    for (int v = 0; v < count; ++v) {
        order[v] = v;
        newIndex[v] = -1;
    }
    std::sort(order.Data(), order.Data() + count,
              [&](int32_t a, int32_t b) { return component(a, axis) < component(b, axis); });

    const int compareFloats = compareBytes / 4;
    const size_t extraOffset = size_t(compareFloats) * 4;
    const size_t extraLength = size_t(extraBytes / 4) * 4;
    const float reach = tolerance + 0.0001f;
    const float window = 2.0f * reach + 0.0001f;
    phScratchArray<char> unique(size_t(count) * stride);
    int uniqueCount = 0;
    for (int s = 0; s < count; ++s) {
        const int32_t current = order[s];
        if (newIndex[current] != -1) {
            continue;
        }
        const int32_t id = uniqueCount++;
        newIndex[current] = id;
        std::memcpy(&unique[size_t(id) * stride], bytes + size_t(current) * stride, stride);
        const float key = component(current, axis);
        for (int r = s + 1; r < count; ++r) {
            const int32_t other = order[r];
            if (!(component(other, axis) < key + window)) {
                break;
            }
            if (newIndex[other] != -1) {
                continue;
            }
            bool same = true;
            for (int i = 0; i < compareFloats && same; ++i) {
                same = std::fabs(component(other, i) - component(current, i)) < reach;
            }
            if (same && extraLength > 0) {
                same =
                    std::memcmp(bytes + size_t(other) * stride + extraOffset,
                                bytes + size_t(current) * stride + extraOffset, extraLength) == 0;
            }
            if (same) {
                newIndex[other] = id;
            }
        }
    }

    std::memcpy(bytes, &unique[0], size_t(uniqueCount) * stride);
    for (int v = 0; v < count; ++v) {
        indexListOut[v] = newIndex[v];
    }
    return uniqueCount;
}
