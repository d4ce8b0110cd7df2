// The geometry functions shared by hit tests, rectangle selection and image fitting.
#include "rendering/Geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace ff {
namespace {

const std::vector<TPointF> kSquare = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

TEST(Geometry, DistancesAndSpans)
{
    EXPECT_DOUBLE_EQ(PointDistance({0, 0}, {3, 4}), 5);
    TPointF q;
    EXPECT_DOUBLE_EQ(DistanceToSegment({1, 2}, {0, 0}, {2, 0}, q), 2);
    EXPECT_EQ(q, (TPointF{1, 0}));
    EXPECT_DOUBLE_EQ(DistanceToSegment({-3, 4}, {0, 0}, {2, 0}, q), 5); // clamped to a
    EXPECT_EQ(q, (TPointF{0, 0}));
    EXPECT_DOUBLE_EQ(DistanceToSegment({5, 4}, {0, 0}, {2, 0}, q), 5); // clamped to b
    EXPECT_EQ(q, (TPointF{2, 0}));
    EXPECT_DOUBLE_EQ(DistanceToSegment({4, 5}, {1, 1}, {1, 1}, q), 5); // a = b
    EXPECT_EQ(q, (TPointF{1, 1}));

    EXPECT_TRUE(PointInSpan({1, 1}, {2, 0}, {0, 2}));
    EXPECT_TRUE(PointInSpan({2, 2}, {2, 0}, {0, 2})); // bounds included
    EXPECT_FALSE(PointInSpan({2.5, 1}, {2, 0}, {0, 2}));
}

TEST(Geometry, SideAndSegmentIntersection)
{
    EXPECT_EQ(PointSide({0, 0}, {1, 0}, {0.5, -1}), -1);
    EXPECT_EQ(PointSide({0, 0}, {1, 0}, {0.5, 1}), 1);
    EXPECT_EQ(PointSide({0, 0}, {1, 0}, {5, 0}), -1); // on the line
    const struct
    {
        TPointF A, B, C, D;
        bool Hit;
    } cases[] = {
        {{0, 0}, {2, 2}, {0, 2}, {2, 0}, true}, // crossing
        {{0, 0}, {2, 0}, {1, 0}, {1, 1}, true}, // T-touch: the end lies on the segment
        {{0, 0}, {2, 0}, {1, 0.1}, {1, 1}, false},
        {{0, 0}, {2, 0}, {1, 0}, {3, 0}, false}, // collinear overlap never counts
        {{0, 0}, {1, 1}, {2, 2}, {3, 0}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SegmentsIntersect(c.A, c.B, c.C, c.D), c.Hit);
        EXPECT_EQ(SegmentsIntersect(c.C, c.D, c.A, c.B), c.Hit);
    }
}

TEST(Geometry, BoundsAndPointInPolygon)
{
    EXPECT_EQ(PointsBounds({}), (TRectF{0, 0, 0, 0}));
    const std::vector<TPointF> pts = {{2, 3}, {-1, 5}, {4, 1}};
    EXPECT_EQ(PointsBounds(pts), (TRectF{-1, 1, 4, 5}));

    EXPECT_TRUE(PointInPolygon({0.5, 0.5}, kSquare));
    EXPECT_TRUE(PointInPolygon({0, 0.5}, kSquare));  // left edge counts as inside
    EXPECT_FALSE(PointInPolygon({1, 0.5}, kSquare)); // right edge does not
    EXPECT_FALSE(PointInPolygon({1.5, 0.5}, kSquare));
    EXPECT_FALSE(PointInPolygon({0.5, 0.5}, {}));
    // A concave outline: the notch is outside.
    const std::vector<TPointF> u = {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    EXPECT_TRUE(PointInPolygon({0.5, 2}, u));
    EXPECT_FALSE(PointInPolygon({1.5, 2}, u));
    EXPECT_TRUE(PointInPolygon({2.5, 2}, u));
}

TEST(Geometry, PolygonOverlap)
{
    const std::vector<TPointF> inner = {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}};
    const std::vector<TPointF> far = {{5, 5}, {6, 5}, {6, 6}};
    const std::vector<TPointF> crossing = {{-1, 0.5}, {2, 0.5}};
    EXPECT_TRUE(PolygonsOverlap(inner, kSquare));
    EXPECT_TRUE(PolygonsOverlap(kSquare, inner));
    EXPECT_TRUE(PolygonsOverlap(crossing, kSquare));
    EXPECT_FALSE(PolygonsOverlap(far, kSquare));
    EXPECT_FALSE(PolygonsOverlap({}, kSquare));
    EXPECT_FALSE(PolygonsOverlap(kSquare, {}));

    EXPECT_TRUE(RectOverlapsPolygon({0.5, 0.5, 3, 3}, kSquare));
    EXPECT_TRUE(RectOverlapsPolygon({3, 3, -1, -1}, kSquare)); // any corner order
    // Touching counts through the side rule, where a point on a line belongs to the negative
    // side: a rectangle touching the left edge overlaps, one touching the right edge does not.
    EXPECT_TRUE(RectOverlapsPolygon({-1, 0.25, 0, 0.75}, kSquare));
    EXPECT_FALSE(RectOverlapsPolygon({-1, 0.25, -0.01, 0.75}, kSquare));
    EXPECT_FALSE(RectOverlapsPolygon({1, 0.25, 2, 0.75}, kSquare));
}

TEST(Geometry, FittingRectangles)
{
    EXPECT_EQ(FitRect({0, 0, 200, 100}, {10, 20, 110, 120}), (TRect{10, 20, 110, 70}));
    EXPECT_EQ(FitRect({0, 0, 50, 100}, {0, 0, 100, 100}), (TRect{0, 0, 50, 100}));
    EXPECT_EQ(FitRect({0, 0, 10, 10}, {0, 0, 25, 100}), (TRect{0, 0, 25, 25}));
    EXPECT_EQ(FitRect({0, 0, 0, 10}, {0, 0, 100, 100}), (TRect{}));
    EXPECT_EQ(FitRect({0, 0, 10, 0}, {0, 0, 100, 100}), (TRect{}));
    // 3 x 1 into 5 x 5: 5 x 1.667 rounds to 5 x 2.
    EXPECT_EQ(FitRect({0, 0, 3, 1}, {0, 0, 5, 5}), (TRect{0, 0, 5, 2}));

    EXPECT_EQ(FitRectCentered({0, 0, 200, 100}, {0, 0, 100, 100}), (TRect{0, 25, 100, 75}));
    EXPECT_EQ(FitRectCentered({0, 0, 100, 200}, {10, 10, 110, 110}), (TRect{35, 10, 85, 110}));
    // Offsets round halves to even: (5 - 2) / 2 = 1.5 gives 2, (7 - 2) / 2 = 2.5 gives 2.
    EXPECT_EQ(FitRectCentered({0, 0, 5, 2}, {0, 0, 5, 5}), (TRect{0, 2, 5, 4}));
    EXPECT_EQ(FitRectCentered({0, 0, 7, 2}, {0, 0, 7, 7}), (TRect{0, 2, 7, 4}));
}

} // namespace
} // namespace ff
