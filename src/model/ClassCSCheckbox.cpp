#include "model/ClassCSCheckbox.h"

#include <algorithm>

namespace ff {

TCSCheckBox::TCSCheckBox()
{
    FTypeID = CS_CHECKBOX;
    FFontName = CS_BASE_FONT;
    SetChecked(false);
}

std::unique_ptr<TCSObject> TCSCheckBox::Clone() const
{
    return CloneAs<TCSCheckBox>();
}

void TCSCheckBox::SetChecked(bool b)
{
    FText = b ? "1" : "";
}

bool TCSCheckBox::GetChecked() const
{
    return GetValue() > 0;
}

void TCSCheckBox::FinalizePoints()
{
    if (Points.size() < 4) return;
    auto& P = Points;
    const TPointF p0{std::min(P[0].X, P[2].X), std::min(P[0].Y, P[2].Y)};
    const TPointF p2{std::max(P[0].X, P[2].X), std::max(P[0].Y, P[2].Y)};
    const double s = std::min(p2.X - p0.X, p2.Y - p0.Y);
    P[0] = p0;
    P[1] = {p0.X, p0.Y + s};
    P[2] = {p0.X + s, p0.Y + s};
    P[3] = {p0.X + s, p0.Y};
}

void TCSCheckBox::DefaultPoints()
{
    DefaultRectSize(0.125, 0.25, 0.125, 0.25);
}

void TCSCheckBox::EditNode(int n, double x, double y)
{
    RectEditNode(n, x, y);
}

bool TCSCheckBox::ClickedOn(double x, double y, double /*t*/) const
{
    return PointInRect(x, y);
}

} // namespace ff
