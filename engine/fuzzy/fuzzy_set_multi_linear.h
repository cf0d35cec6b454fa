#pragma once

#include <vector>

#include "engine/core/vector2x.h"
#include "engine/fuzzy/fuzzy_set.h"

namespace orvel {

// A piecewise-linear function through a list of corner points: interpolated
// between neighbouring points, held at the first point's y to the left of it
// and at the last point's y to the right of the last. Not clamped to 0..1, so
// it also maps values (a slider fraction to a range, say).
class FuzzySetMultiLinear : public FuzzySet {
public:
    // The points in increasing x; two points may share an x, which makes a
    // step there (the later point wins at that x). Throws ExceptionGeneral
    // when there are no points or when an x is smaller than the one before.
    explicit FuzzySetMultiLinear(const std::vector<PointF>& points);

    float Evaluate(float x) const override;
    PropertiesPtr Save() const override;

private:
    // The function from one corner point up to the next.
    struct Segment {
        float x;
        float y;
        float slope;
    };

    std::vector<Segment> segments;
};

}  // namespace orvel
