// Drawing of the text kinds: labels (which take the size of their text), edit fields with
// their highlight band, and buttons.
#include <cmath>

#include "model/ClassCSButton.h"
#include "model/ClassCSField.h"
#include "model/ClassCSText.h"
#include "rendering/ObjectRendering.h"
#include "support/Numbers.h"

namespace ff {

using namespace render;

void TCSText::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    const double d = DeviceScale(hdc, dparams);
    const std::string sText = DisplayText(*this);
    TQualityScope quality(2);
    TKELDGraphics g(hdc);
    SetTextState(g, *this, d, FFillColor);
    int w = 0, h = 0;
    g.MeasureText(sText, w, h);
    // The label takes the measured size, so hit tests and the next save see it. A resolution
    // that is not positive (a script may set CS_DPI to 0) would write infinite or inverted
    // points into the document, so the label then keeps its size.
    if (d > 0) {
        const TPointF p0 = Points[0];
        Points[1] = {p0.X, p0.Y + h / d};
        Points[2] = {p0.X + w / d, p0.Y + h / d};
        Points[3] = {p0.X + w / d, p0.Y};
    }

    g.PenWidth = 1.0;
    g.PenStyle = psClear;
    g.BrushColor = FFillColor;
    g.BrushStyle = bsSolid;
    g.ClearFill = false;
    g.FontAlign = 0;
    const auto c = CornerPixels(*this, d);
    g.TextOut(c[0], sText, 0);
    if (FSelected) {
        // The text state leaves a clear pen, which would hide the handles.
        g.PenStyle = psSolid;
        DrawHandles(g, *this, c.data(), c.size());
        g.PenStyle = psDash;
        g.ClearFill = true;
        g.Polygon({c[0], c[1], c[2], c[3]});
    }
}

void TCSEdit::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    const double d = DeviceScale(hdc, dparams);
    const std::string sText = DisplayText(*this);
    TQualityScope quality(2);
    TKELDGraphics g(hdc);
    SetTextState(g, *this, d, FFillColor);
    const auto c = CornerPixels(*this, d);
    const int f = static_cast<int>(RoundHalfEven(g.FontSize));
    const int H = c[2].Y - c[0].Y;
    // Whole text lines from the top of the box; a font size that rounds to zero pixels gives
    // no lines rather than a division by zero.
    int lines = f > 0 ? static_cast<int>(std::trunc(double(H) / f)) : 0;
    if (FSingleLine) lines = 1;
    const int band = lines * (f + 4);
    // A box drawn upwards (P2 above P0) has a negative band that runs up from P0.
    if ((dparams.DesignMode || (dparams.ShowFields && isEditable())) && band != 0)
        Highlight(g, dparams.HighlightColor, c[0].X, c[0].Y, c[2].X, c[0].Y + band);

    g.PenStyle = psClear;
    g.BrushStyle = bsSolid;
    g.BrushColor = FFillColor;
    g.FontAlign = FTextAlign;
    g.TextOut(TRect{c[0].X, c[0].Y, c[2].X, c[2].Y}, sText, 0);
    if (FSelected) {
        g.PenStyle = psSolid;
        DrawHandles(g, *this, c.data(), c.size());
    }
}

void TCSButton::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    const double d = DeviceScale(hdc, dparams);
    const auto c = CornerPixels(*this, d);
    const int x0 = c[0].X, y0 = c[0].Y, x2 = c[2].X, y2 = c[2].Y;
    const int mx = (x0 + x2) / 2, my = (y0 + y2) / 2;
    TKELDGraphics g(hdc);
    g.LineJoin = 1;
    g.PenWidth = FLineWidth / 72.0 * d;
    g.PenColor = 0x707070;
    // The frame leaves the corner pixels open.
    g.MoveTo(x0, y0 + 1);
    g.LineTo(x0, y2 - 1);
    g.MoveTo(x0 + 1, y2);
    g.LineTo(x2 - 1, y2);
    g.MoveTo(x2, y2 - 1);
    g.LineTo(x2, y0 + 1);
    g.MoveTo(x2 - 1, y0);
    g.LineTo(x0 + 1, y0);

    TColor top[2] = {0xF2F2F2, 0xEAEAEA};
    TColor bottom[2] = {0xDFDFDF, 0xCFCFCF};
    if (FButtonState == CS_BUTTONSTATE_DOWN) {
        std::swap(top[0], bottom[0]);
        std::swap(top[1], bottom[1]);
    }
    g.PenStyle = psClear;
    g.GradientStyle = 1;
    g.SetGradientPoints({{mx, y0}, {mx, my}});
    g.BrushColor = top[0];
    g.GradientColor = top[1];
    g.Rectangle(x0 + 2, y0 + 2, x2 - 2, y2 - 2);
    g.GradientStyle = 1;
    g.SetGradientPoints({{mx, my}, {mx, y2}});
    g.BrushColor = bottom[0];
    g.GradientColor = bottom[1];
    g.Rectangle(x0 + 2, my, x2 - 2, y2 - 2);
    g.GradientStyle = 0;

    if (!FText.empty()) {
        TQualityScope quality(2);
        SetTextState(g, *this, d, 0x000000);
        int w = 0, h = 0;
        g.MeasureText(FText, w, h);
        g.TextOut(TPoint{x0 + (x2 - x0 - w) / 2, y0 + (y2 - y0 - h) / 2}, FText, 0);
    }
    if (FSelected) {
        g.PenStyle = psSolid;
        DrawHandles(g, *this, c.data(), c.size());
    }
}

} // namespace ff
