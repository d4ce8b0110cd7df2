#include "model/ClassCSField.h"

namespace ff {

TCSEdit::TCSEdit()
{
    FTypeID = CS_EDIT;
    FFontName = CS_BASE_FONT;
}

std::unique_ptr<TCSObject> TCSEdit::Clone() const
{
    return CloneAs<TCSEdit>();
}

void TCSEdit::FinalizePoints()
{
    FinalizeRect();
}

// At least one line of the font high.
void TCSEdit::DefaultPoints()
{
    DefaultRectSize(0.25, 1.0, FFontSize / 72.0, FFontSize * 1.25 / 72.0);
}

void TCSEdit::EditNode(int n, double x, double y)
{
    RectEditNode(n, x, y);
}

bool TCSEdit::ClickedOn(double x, double y, double /*t*/) const
{
    return PointInRect(x, y);
}

} // namespace ff
