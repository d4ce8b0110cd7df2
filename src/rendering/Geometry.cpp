#include "rendering/Geometry.h"

#include "support/Numbers.h"

#include <algorithm>
#include <cmath>

namespace ff {

double PointDistance(TPointF a, TPointF b)
{
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

double DistanceToSegment(TPointF p, TPointF a, TPointF b, TPointF& q)
{
    if (a == b) {
        q = a;
    } else {
        double dx = b.X - a.X, dy = b.Y - a.Y;
        double t = ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / (dx * dx + dy * dy);
        t = std::clamp(t, 0.0, 1.0);
        q = {a.X + t * dx, a.Y + t * dy};
    }
    return PointDistance(p, q);
}

double DistanceToSegment(TPointF p, TPointF a, TPointF b)
{
    TPointF q;
    return DistanceToSegment(p, a, b, q);
}

bool PointInSpan(TPointF p, TPointF a, TPointF b)
{
    return std::min(a.X, b.X) <= p.X && p.X <= std::max(a.X, b.X) && std::min(a.Y, b.Y) <= p.Y &&
           p.Y <= std::max(a.Y, b.Y);
}

int PointSide(TPointF a, TPointF b, TPointF c)
{
    return (b.Y - a.Y) * (c.X - a.X) >= (b.X - a.X) * (c.Y - a.Y) ? -1 : 1;
}

bool SegmentsIntersect(TPointF a, TPointF b, TPointF c, TPointF d)
{
    return PointSide(a, b, c) * PointSide(a, b, d) < 1 &&
           PointSide(c, d, a) * PointSide(c, d, b) < 1;
}

TRectF PointsBounds(std::span<const TPointF> points)
{
    if (points.empty()) return {};
    TRectF r{points[0].X, points[0].Y, points[0].X, points[0].Y};
    for (const TPointF& p : points.subspan(1)) {
        r.Left = std::min(r.Left, p.X);
        r.Top = std::min(r.Top, p.Y);
        r.Right = std::max(r.Right, p.X);
        r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
}

namespace {

// Calls f(a, b) for every edge; the closing edge runs from the first point to the last.
template <class F> bool AnyEdge(std::span<const TPointF> poly, F f)
{
    if (poly.empty()) return false;
    for (size_t i = 0; i + 1 < poly.size(); ++i)
        if (f(poly[i], poly[i + 1])) return true;
    return f(poly.front(), poly.back());
}

} // namespace

bool PointInPolygon(TPointF p, std::span<const TPointF> polygon)
{
    if (polygon.empty()) return false;
    TRectF r = PointsBounds(polygon);
    if (p.X < r.Left || p.X > r.Right || p.Y < r.Top || p.Y > r.Bottom) return false;
    const TPointF far{p.X + 3.4e38, p.Y};
    int nCount = 0;
    AnyEdge(polygon, [&](TPointF a, TPointF b) {
        if (SegmentsIntersect(p, far, a, b)) ++nCount;
        return false;
    });
    return nCount % 2 == 1;
}

bool PolygonsOverlap(std::span<const TPointF> A, std::span<const TPointF> B)
{
    if (A.empty() || B.empty()) return false;
    bool bCross = AnyEdge(A, [&](TPointF a, TPointF b) {
        return AnyEdge(B, [&](TPointF c, TPointF d) { return SegmentsIntersect(a, b, c, d); });
    });
    return bCross || PointInPolygon(A.front(), B) || PointInPolygon(B.front(), A);
}

bool RectOverlapsPolygon(const TRectF& r, std::span<const TPointF> B)
{
    const TPointF corners[4] = {
        {r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}};
    return PolygonsOverlap(corners, B);
}

TRect FitRect(const TRect& src, const TRect& dst)
{
    if (src.Width() == 0 || src.Height() == 0) return {};
    double s = std::min(static_cast<double>(dst.Height()) / src.Height(),
                        static_cast<double>(dst.Width()) / src.Width());
    return {dst.Left, dst.Top, dst.Left + static_cast<int>(RoundHalfEven(src.Width() * s)),
            dst.Top + static_cast<int>(RoundHalfEven(src.Height() * s))};
}

TRect FitRectCentered(const TRect& src, const TRect& dst)
{
    TRect r = FitRect(src, dst);
    if (r.Width() < dst.Width()) {
        int dx = static_cast<int>(RoundHalfEven((dst.Width() - r.Width()) / 2.0));
        r.Left += dx;
        r.Right += dx;
    }
    if (r.Height() < dst.Height()) {
        int dy = static_cast<int>(RoundHalfEven((dst.Height() - r.Height()) / 2.0));
        r.Top += dy;
        r.Bottom += dy;
    }
    return r;
}

} // namespace ff
