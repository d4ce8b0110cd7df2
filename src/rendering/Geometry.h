// Small geometry functions shared by hit testing, rectangle selection and image fitting.
// Points are in inches unless stated.
#pragma once

#include "support/Types.h"

#include <span>

namespace ff {

double PointDistance(TPointF a, TPointF b);

// Distance from p to the segment a-b; q receives the nearest point of the segment.
double DistanceToSegment(TPointF p, TPointF a, TPointF b, TPointF& q);
double DistanceToSegment(TPointF p, TPointF a, TPointF b);

// p within the box spanned by a and b, bounds included.
bool PointInSpan(TPointF p, TPointF a, TPointF b);

// Side of c against the directed line a -> b: -1 (a point on the line counts here) or +1.
int PointSide(TPointF a, TPointF b, TPointF c);

// The ends of each segment lie on different sides of the other; collinear segments never count.
bool SegmentsIntersect(TPointF a, TPointF b, TPointF c, TPointF d);

// Smallest rectangle holding all points; (0, 0, 0, 0) for none.
TRectF PointsBounds(std::span<const TPointF> points);

// Inside the bounds (borders included) and an odd number of edges crossed by a ray towards
// increasing x. The closing edge runs from the first point to the last.
bool PointInPolygon(TPointF p, std::span<const TPointF> polygon);

// Any edges intersect, or the first point of either polygon lies inside the other.
bool PolygonsOverlap(std::span<const TPointF> A, std::span<const TPointF> B);

// The rectangle as the polygon (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom).
bool RectOverlapsPolygon(const TRectF& r, std::span<const TPointF> B);

// src scaled to fit dst keeping its proportions, at dst's top-left corner; empty when src has no
// area.
TRect FitRect(const TRect& src, const TRect& dst);
// FitRect centred in dst.
TRect FitRectCentered(const TRect& src, const TRect& dst);

} // namespace ff
