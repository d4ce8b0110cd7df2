// Drawing of the shape kinds (lines, orthogonal lines, boxes, check boxes) and the helpers all
// kinds share.
#include "rendering/ObjectRendering.h"

#include <algorithm>
#include <cmath>

#include "model/ClassCSCheckbox.h"
#include "model/ClassCSShapes.h"
#include "support/Numbers.h"

namespace ff {
namespace render {

double DeviceScale(const TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    return dparams.PrintMode ? hdc.DpiX() : double(CS_DPI);
}

TPoint ToPixel(TPointF p, double d)
{
    return {static_cast<int>(RoundHalfEven(d * p.X)), static_cast<int>(RoundHalfEven(d * p.Y))};
}

std::array<TPoint, 4> CornerPixels(const TCSObject& o, double d)
{
    return {ToPixel(o.Points[0], d), ToPixel(o.Points[1], d), ToPixel(o.Points[2], d),
            ToPixel(o.Points[3], d)};
}

void SetTextState(TKELDGraphics& g, const TCSObject& o, double d, TColor brushColor)
{
    g.FontName = o.FFontName;
    g.FontBold = o.FFontBold;
    g.FontUnderline = o.FFontUnderline;
    g.FontItalic = o.FFontItalic;
    g.FontSize = static_cast<float>(o.FFontSize / 72.0 * d);
    g.PenStyle = psClear;
    g.BrushColor = brushColor;
    g.BrushStyle = bsSolid;
}

std::string DisplayText(const TCSObject& o)
{
    if (o.FisNumeric && !IsFloatText(o.FText)) return "0";
    return o.FText;
}

void Highlight(TKELDGraphics& g, TColor c, int x1, int y1, int x2, int y2)
{
    g.PenStyle = psClear;
    g.BrushStyle = bsSolid;
    g.BrushColor = c;
    g.ClearFill = false;
    g.Rectangle(x1, y1, x2, y2);
}

void DrawHandles(TKELDGraphics& g, const TCSObject& o, const TPoint* pts, std::size_t n)
{
    g.PenWidth = 1.0;
    g.PenColor = o.SelectedHandleColor();
    g.ClearFill = true;
    for (std::size_t i = 0; i < n; ++i)
        g.Rectangle(pts[i].X - 2, pts[i].Y - 2, pts[i].X + 2, pts[i].Y + 2);
}

bool HasImage(const TCSObject& o)
{
    return o.Image && o.Image->Size() > 0;
}

namespace {

void DrawLineKind(TCSObject& o, TGraphicsDevice& hdc, const TCSDrawParams& dparams, bool bOrth)
{
    if (o.Points.size() < 2) return;
    const double d = DeviceScale(hdc, dparams);
    TPoint p[2] = {ToPixel(o.Points[0], d), ToPixel(o.Points[1], d)};
    if (bOrth) {
        if (std::abs(p[1].X - p[0].X) > std::abs(p[1].Y - p[0].Y))
            p[1].Y = p[0].Y;
        else
            p[1].X = p[0].X;
    }
    TKELDGraphics g(hdc);
    g.PenColor = o.FLineColor;
    g.PenWidth = o.FLineWidth / 72.0 * d;
    g.LineJoin = 0;
    g.MoveTo(p[0]);
    g.LineTo(p[1]);
    if (o.FSelected) DrawHandles(g, o, p, 2);
}

} // namespace
} // namespace render

using namespace render;

void TCSLine::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    DrawLineKind(*this, hdc, dparams, false);
}

void TCSOrthLine::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    DrawLineKind(*this, hdc, dparams, true);
}

void TCSBox::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    const double d = DeviceScale(hdc, dparams);
    const auto c = CornerPixels(*this, d);
    TKELDGraphics g(hdc);
    g.LineJoin = 1;
    g.PenColor = FLineColor;
    g.PenWidth = FLineWidth / 72.0 * d;
    if (FisFilled) {
        g.BrushStyle = bsSolid;
        g.BrushColor = FFillColor;
    } else {
        g.BrushStyle = bsClear;
        g.ClearFill = true;
    }
    g.Rectangle(c[0].X, c[0].Y, c[2].X, c[2].Y);
    if (FSelected) DrawHandles(g, *this, c.data(), c.size());
}

void TCSCheckBox::Draw(TGraphicsDevice& hdc, const TCSDrawParams& dparams)
{
    if (Points.size() < 4) return;
    const double d = DeviceScale(hdc, dparams);
    const TPoint p0 = ToPixel(Points[0], d), p2 = ToPixel(Points[2], d);
    // Drawn square at P0; the object's own points stay as they are.
    const int s = std::min(p2.X - p0.X, p2.Y - p0.Y);
    const TPoint c[4] = {p0, {p0.X, p0.Y + s}, {p0.X + s, p0.Y + s}, {p0.X + s, p0.Y}};
    TKELDGraphics g(hdc);
    g.LineJoin = 1;
    if (dparams.DesignMode || dparams.ShowFields)
        Highlight(g, dparams.HighlightColor, p0.X, p0.Y, p0.X + s, p0.Y + s);
    g.PenColor = FLineColor;
    g.PenWidth = FLineWidth / 72.0 * d;
    g.PenStyle = psSolid;
    if (FisFilled) {
        g.BrushStyle = bsSolid;
        g.BrushColor = FFillColor;
        g.ClearFill = false;
    } else {
        g.BrushStyle = bsClear;
        g.ClearFill = true;
    }
    g.Rectangle(p0.X, p0.Y, p0.X + s, p0.Y + s);
    if (GetValue() > 0) {
        g.MoveTo(p0.X + 2, p0.Y + 2);
        g.LineTo(p0.X + s - 2, p0.Y + s - 2);
        g.MoveTo(p0.X + 2, p0.Y + s - 2);
        g.LineTo(p0.X + s - 2, p0.Y + 2);
    }
    if (FSelected) DrawHandles(g, *this, c, 4);
}

} // namespace ff
