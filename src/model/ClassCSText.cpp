#include "model/ClassCSText.h"

namespace ff {

TCSText::TCSText()
{
    FTypeID = CS_LABEL;
    FFontName = CS_BASE_FONT;
}

std::unique_ptr<TCSObject> TCSText::Clone() const
{
    return CloneAs<TCSText>();
}

// The text box follows the measured text when the label is drawn.
void TCSText::FinalizePoints() {}

bool TCSText::ClickedOn(double x, double y, double /*t*/) const
{
    return PointInRect(x, y);
}

} // namespace ff
