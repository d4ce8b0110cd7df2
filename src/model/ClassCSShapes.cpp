#include "model/ClassCSShapes.h"

#include "rendering/Geometry.h"

#include <cmath>

namespace ff {

namespace {

// Two-point kinds: a just-drawn line of no length becomes a half-inch vertical line.
void DefaultLinePoints(std::vector<TPointF>& P)
{
    if (P.size() >= 2 && P[1] == P[0]) P[1].Y = P[0].Y + 0.5;
}

bool LineHit(const std::vector<TPointF>& P, double x, double y, double t)
{
    return P.size() >= 2 && DistanceToSegment({x, y}, P[0], P[1]) <= t;
}

} // namespace

TCSOrthLine::TCSOrthLine()
{
    FTypeID = CS_ORTHLINE;
}

std::unique_ptr<TCSObject> TCSOrthLine::Clone() const
{
    return CloneAs<TCSOrthLine>();
}

void TCSOrthLine::FinalizePoints()
{
    if (Points.size() < 2) return;
    auto& P = Points;
    if (std::fabs(P[1].X - P[0].X) > std::fabs(P[1].Y - P[0].Y))
        P[1].Y = P[0].Y;
    else
        P[1].X = P[0].X;
}

void TCSOrthLine::DefaultPoints()
{
    DefaultLinePoints(Points);
}

bool TCSOrthLine::ClickedOn(double x, double y, double t) const
{
    return LineHit(Points, x, y, t);
}

TCSLine::TCSLine()
{
    FTypeID = CS_LINE;
}

std::unique_ptr<TCSObject> TCSLine::Clone() const
{
    return CloneAs<TCSLine>();
}

void TCSLine::FinalizePoints() {}

void TCSLine::DefaultPoints()
{
    DefaultLinePoints(Points);
}

bool TCSLine::ClickedOn(double x, double y, double t) const
{
    return LineHit(Points, x, y, t);
}

TCSBox::TCSBox()
{
    FTypeID = CS_BOX;
}

std::unique_ptr<TCSObject> TCSBox::Clone() const
{
    return CloneAs<TCSBox>();
}

void TCSBox::FinalizePoints()
{
    FinalizeRect();
}

void TCSBox::DefaultPoints()
{
    DefaultRectSize(0.125, 0.25, 0.125, 0.25);
}

void TCSBox::EditNode(int n, double x, double y)
{
    RectEditNode(n, x, y);
}

bool TCSBox::ClickedOn(double x, double y, double t) const
{
    if (Points.size() < 4) return false;
    if (FisFilled) return PointInRect(x, y);
    const TPointF p{x, y};
    for (size_t i = 0; i < 4; ++i)
        if (DistanceToSegment(p, Points[i], Points[(i + 1) % 4]) <= t) return true;
    return false;
}

} // namespace ff
