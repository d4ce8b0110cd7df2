#include "model/ClassCSImage.h"

namespace ff {

TCSImage::TCSImage()
{
    FTypeID = CS_IMAGE;
    FImageScalingMode = CS_IMAGE_STRETCH;
}

std::unique_ptr<TCSObject> TCSImage::Clone() const
{
    return CloneAs<TCSImage>();
}

void TCSImage::FinalizePoints()
{
    FinalizeRect();
}

void TCSImage::DefaultPoints()
{
    DefaultRectSize(0.5, 0.5, 0.5, 0.5);
}

void TCSImage::EditNode(int n, double x, double y)
{
    RectEditNode(n, x, y);
}

bool TCSImage::ClickedOn(double x, double y, double /*t*/) const
{
    return PointInRect(x, y);
}

TCSImageSelect::TCSImageSelect()
{
    FTypeID = CS_IMAGESELECT;
    FImageScalingMode = CS_IMAGE_BESTFIT;
    FText = CS_IMAGE_PROMPT;
}

std::unique_ptr<TCSObject> TCSImageSelect::Clone() const
{
    return CloneAs<TCSImageSelect>();
}

} // namespace ff
