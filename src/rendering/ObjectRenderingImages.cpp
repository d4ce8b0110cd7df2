// Drawing of placed images and image-select fields.
#include "model/ClassCSImage.h"
#include "rendering/Bitmaps.h"
#include "rendering/Geometry.h"
#include "rendering/ObjectRendering.h"

namespace ff {

using namespace render;

void TCSImage::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4 || !HasImage(*this)) return;
    const double d = DeviceScale(hdc, dparams);
    const auto c = CornerPixels(*this, d);
    int w = 0, h = 0;
    GetBitmapSizeFromStream(*Image, w, h);
    const TRect box{c[0].X, c[0].Y, c[2].X, c[2].Y};
    TKELDGraphics g(hdc);
    g.UseGP = true;
    {
        TColorModeScope mode(FImageGrayscale ? 3 : GraphicsColorMode);
        if (w > 0 && h > 0) {
            const TRect whole{0, 0, w, h};
            const TRect dest =
                FImageScalingMode == CS_IMAGE_BESTFIT ? FitRectCentered(whole, box) : box;
            g.DrawBitmapStream(*Image, whole, dest);
        }
    }
    if (FSelected) DrawHandles(g, *this, c.data(), c.size());
}

void TCSImageSelect::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    // Normalised to the rectangle spanned by P0 and P2, written back into the object.
    Points[1] = {Points[0].X, Points[2].Y};
    Points[3] = {Points[2].X, Points[0].Y};
    const double d = DeviceScale(hdc, dparams);
    const auto c = CornerPixels(*this, d);
    TKELDGraphics g(hdc);
    if (dparams.DesignMode || dparams.ShowFields)
        Highlight(g, dparams.HighlightColor, c[0].X, c[0].Y, c[2].X, c[2].Y);
    if (HasImage(*this)) TCSImage::Draw(hdc, dparams);
    g.PenColor = FLineColor;
    g.PenWidth = FLineWidth / 72.0 * d;
    g.PenStyle = psSolid;
    g.Polyline({c[0], c[1], c[2], c[3], c[0]});
    {
        TQualityScope quality(2);
        if (!HasImage(*this) && !FText.empty()) {
            SetTextState(g, *this, d, FFillColor);
            g.ClearFill = false;
            g.TextOut(c[0], FText, 0);
        }
    }
    if (FSelected) {
        g.PenStyle = psSolid;
        DrawHandles(g, *this, c.data(), c.size());
    }
}

} // namespace ff
