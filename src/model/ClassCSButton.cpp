#include "model/ClassCSButton.h"

namespace ff {

TCSButton::TCSButton()
{
    FTypeID = CS_BUTTON;
    FFontName = CS_BASE_FONT;
}

std::unique_ptr<TCSObject> TCSButton::Clone() const
{
    return CloneAs<TCSButton>();
}

void TCSButton::FinalizePoints()
{
    FinalizeRect();
}

void TCSButton::DefaultPoints()
{
    DefaultRectSize(0.5, 0.5, 0.25, 0.25);
}

void TCSButton::EditNode(int n, double x, double y)
{
    RectEditNode(n, x, y);
}

bool TCSButton::ClickedOn(double x, double y, double /*t*/) const
{
    return PointInRect(x, y);
}

} // namespace ff
