#include "engine/fuzzy/fuzzy_set_multi_linear.h"

#include <algorithm>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"

namespace orvel {

FuzzySetMultiLinear::FuzzySetMultiLinear(const std::vector<PointF>& points) {
    if (points.empty()) {
        throw ExceptionGeneral("A multi-linear fuzzy set needs at least one point.");
    }
    segments.reserve(points.size());
    for (size_t i = 1; i < points.size(); ++i) {
        const PointF& p0 = points[i - 1];
        const PointF& p1 = points[i];
        // Written so that a NaN x is refused as well.
        if (!(p0.x <= p1.x)) {
            throw ExceptionGeneral(
                "The points of a multi-linear fuzzy set must be in increasing x; point " +
                IntToString(static_cast<int>(i)) + " is not.");
        }
        // Two points at one x make a step; the segment between them is never
        // read, and a divisor of 1 keeps its slope finite.
        const float d = p1.x - p0.x == 0.0f ? 1.0f : p1.x - p0.x;
        segments.push_back(Segment{p0.x, p0.y, (p1.y - p0.y) / d});
    }
    segments.push_back(Segment{points.back().x, points.back().y, 0.0f});
}

float FuzzySetMultiLinear::Evaluate(float x) const {
    // The last segment that starts at or before x.
    const auto after =
        std::upper_bound(segments.begin(), segments.end(), x,
                         [](float value, const Segment& segment) { return value < segment.x; });
    if (after == segments.begin()) {
        return segments.front().y;
    }
    const Segment& segment = *(after - 1);
    return segment.y + (x - segment.x) * segment.slope;
}

PropertiesPtr FuzzySetMultiLinear::Save() const {
    AnyVectorPtr points = std::make_shared<AnyVector>();
    for (const Segment& segment : segments) {
        points->Append(Property(PointF(segment.x, segment.y), PROPERTY_POINTF));
    }
    PropertiesPtr properties = std::make_shared<Properties>();
    properties->SetString("type", "FUZZY_SET_MultiLinear");
    properties->SetList("points", points);
    return properties;
}

}  // namespace orvel
