// Vertex welding: sort the vertices along the axis of largest spread, then
// sweep; each vertex not yet welded opens a new unique vertex and takes every
// later vertex within reach of it along the sort axis whose compared floats
// all lie within the tolerance and whose extra words are equal.
#include "collision/polyhedra.h"

#include "core/float_order_key.h"
#include "core/scratch_stack.h"
#include "platform/fpu_precision.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct WeldEntry {
    float key;
    int32_t index;
    int32_t id;
    float p[3];
};

// A record's place in the sort: its sort key and second coordinate packed
// into one integer that compares as the pair of floats does.
struct SortItem {
    uint64_t order;
    int32_t index;
};

// Fills the sort records of the vertices: the sort key's order bits above
// those of the second coordinate (none when second is negative).
void FillSortItems(const char* bytes, size_t stride, int count, int axis, int second,
                   SortItem* items) {
    auto component = [&](int vertex, int i) {
        float value;
        std::memcpy(&value, bytes + size_t(vertex) * stride + size_t(i) * sizeof(float),
                    sizeof(float));
        return value;
    };
    for (int v = 0; v < count; ++v) {
        const uint64_t low = second >= 0 ? phFloatOrderKey(component(v, second)) : 0u;
        items[v] = {uint64_t(phFloatOrderKey(component(v, axis))) << 32 | low, v};
    }
}

// Stable least-significant-digit radix sort of the records by their order,
// a byte at a time, passing over bytes that every record shares. spare holds
// count records; returns the array that holds the sorted records.
SortItem* RadixSort(SortItem* items, SortItem* spare, int count) {
    constexpr int kDigits = 8;
    static_assert(sizeof(uint64_t) == kDigits, "one digit per byte of the order");
    int histogram[kDigits][256] = {};
    for (int i = 0; i < count; ++i) {
        for (int d = 0; d < kDigits; ++d) {
            ++histogram[d][(items[i].order >> (8 * d)) & 0xFF];
        }
    }
    SortItem* from = items;
    SortItem* to = spare;
    for (int d = 0; d < kDigits; ++d) {
        if (histogram[d][(items[0].order >> (8 * d)) & 0xFF] == count) {
            continue;
        }
        int next[256];
        int start = 0;
        for (int b = 0; b < 256; ++b) {
            next[b] = start;
            start += histogram[d][b];
        }
        for (int i = 0; i < count; ++i) {
            to[next[(from[i].order >> (8 * d)) & 0xFF]++] = from[i];
        }
        std::swap(from, to);
    }
    return from;
}

// True when every run of records of equal order holds vertices alike byte
// for byte: then any order within the runs welds the same.
bool TiesAreAlike(const SortItem* sorted, int count, const char* bytes, size_t stride) {
    for (int s = 1; s < count; ++s) {
        if (sorted[s].order == sorted[s - 1].order &&
            std::memcmp(bytes + size_t(sorted[s].index) * stride,
                        bytes + size_t(sorted[s - 1].index) * stride, stride) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

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

    // Records of equal key are ordered by a second coordinate, so that the
    // sweep can pass over the part of such a run that lies out of reach
    // (a grid mesh puts a whole row of vertices under one key). The records
    // sorted are small, of one integer key that compares as the pair of
    // floats does. Records of equal pairs that differ elsewhere weld
    // differently in a different order, so they keep the order the
    // comparison sort gives them; when all such records are alike, the
    // radix sort's order is as good and cheaper to reach.
    const int compareFloats = compareBytes / 4;
    const int quick = compareFloats < 3 ? compareFloats : 3;
    const int second = quick == 3 ? (axis + 1) % 3 : -1;
    phScratchArray<SortItem> items(static_cast<size_t>(count));
    phScratchArray<SortItem> spare(static_cast<size_t>(count));
    FillSortItems(bytes, stride, count, axis, second, items.Data());
    SortItem* sorted = RadixSort(items.Data(), spare.Data(), count);
    if (!TiesAreAlike(sorted, count, bytes, stride)) {
        sorted = items.Data();
        FillSortItems(bytes, stride, count, axis, second, sorted);
        std::sort(sorted, sorted + count,
                  [](const SortItem& a, const SortItem& b) { return a.order < b.order; });
    }

    // The sweep reads the sort key, the first three compared floats and the
    // new index of each record from one contiguous entry instead of from the
    // caller's array in sorted, that is scattered, order.
    phScratchArray<WeldEntry> entries(static_cast<size_t>(count));
    for (int s = 0; s < count; ++s) {
        const int v = sorted[s].index;
        WeldEntry& entry = entries[s];
        entry.key = component(v, axis);
        entry.index = v;
        entry.id = -1;
        for (int i = 0; i < 3; ++i) {
            entry.p[i] = i < quick ? component(v, i) : 0.0f;
        }
    }
    // The end of the run of equal keys that each record belongs to.
    phScratchArray<int32_t> runEnd(static_cast<size_t>(count));
    for (int s = count - 1; s >= 0; --s) {
        runEnd[s] = s + 1 < count && entries[s + 1].key == entries[s].key ? runEnd[s + 1] : s + 1;
    }

    const size_t extraOffset = size_t(compareFloats) * 4;
    const size_t extraLength = size_t(extraBytes / 4) * 4;
    const float reach = tolerance + 0.0001f;
    const float window = 2.0f * reach + 0.0001f;
    phScratchArray<char> unique(size_t(count) * stride);
    phScratchArray<int32_t> newIndex(static_cast<size_t>(count));
    int uniqueCount = 0;
    for (int s = 0; s < count; ++s) {
        WeldEntry& currentEntry = entries[s];
        if (currentEntry.id != -1) {
            continue;
        }
        const int32_t current = currentEntry.index;
        const int32_t id = uniqueCount++;
        currentEntry.id = id;
        std::memcpy(&unique[size_t(id) * stride], bytes + size_t(current) * stride, stride);
        const float limit = currentEntry.key + window;
        for (int r = s + 1; r < count; ++r) {
            WeldEntry& otherEntry = entries[r];
            if (!(otherEntry.key < limit)) {
                break;
            }
            if (second >= 0 && otherEntry.key == currentEntry.key &&
                !(otherEntry.p[second] < currentEntry.p[second] + reach)) {
                // The rest of the run lies farther along the second
                // coordinate.
                r = runEnd[r] - 1;
                continue;
            }
            if (otherEntry.id != -1) {
                continue;
            }
            bool same = true;
            for (int i = 0; i < quick && same; ++i) {
                same = std::fabs(otherEntry.p[i] - currentEntry.p[i]) < reach;
            }
            const int32_t other = otherEntry.index;
            for (int i = quick; i < compareFloats && same; ++i) {
                same = std::fabs(component(other, i) - component(current, i)) < reach;
            }
            if (same && extraLength > 0) {
                same =
                    std::memcmp(bytes + size_t(other) * stride + extraOffset,
                                bytes + size_t(current) * stride + extraOffset, extraLength) == 0;
            }
            if (same) {
                otherEntry.id = id;
            }
        }
    }
    for (int s = 0; s < count; ++s) {
        newIndex[entries[s].index] = entries[s].id;
    }

    std::memcpy(bytes, &unique[0], size_t(uniqueCount) * stride);
    for (int v = 0; v < count; ++v) {
        indexListOut[v] = newIndex[v];
    }
    return uniqueCount;
}
