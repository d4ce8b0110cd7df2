#include "rendering/KELDGraphics.h"

#include <algorithm>
#include <cmath>

#include "support/Numbers.h"
#include "support/Text.h"

namespace ff {

int GraphicsQuality = 1;
int GraphicsColorMode = 0;

namespace {

int ClampByte(double v)
{
    return static_cast<int>(std::clamp(v, 0.0, 255.0));
}

TDevDash DashOf(int nPenStyle)
{
    switch (nPenStyle) {
    case psDash:
        return TDevDash::Dash;
    case psDot:
        return TDevDash::Dot;
    case psDashDot:
        return TDevDash::DashDot;
    case psDashDotDot:
        return TDevDash::DashDotDot;
    default:
        return TDevDash::Solid;
    }
}

TDevPath PolygonPath(const std::vector<TPoint>& points)
{
    TDevPath p;
    p.AddPolygon(points);
    return p;
}

TDevPath RectPath(double l, double t, double r, double b)
{
    TDevPath p;
    p.AddRect({l, t, r, b});
    return p;
}

bool IsBaseMode(int nMode)
{
    return nMode != 1 && nMode != 4;
}

} // namespace

TColor ModeColor(TColor c, int nMode)
{
    const double r = ColorRed(c), g = ColorGreen(c), b = ColorBlue(c);
    switch (nMode) {
    case 1:
        return 0;
    case 2:
    case 3: {
        const double luma = RoundHalfEven(r * 0.299 + g * 0.587 + b * 0.114);
        if (nMode == 2) return luma <= 30 ? 0 : 0xFFFFFF;
        const int l = ClampByte(luma);
        return RGBColor(l, l, l);
    }
    case 4: {
        const int rr = ClampByte(RoundHalfEven(0.393 * r + 0.769 * g + 0.189 * b) - 40);
        const int gg = ClampByte(RoundHalfEven(0.349 * r + 0.686 * g + 0.168 * b) - 40);
        const int bb = ClampByte(RoundHalfEven(0.272 * r + 0.534 * g + 0.131 * b) - 40);
        return RGBColor(rr, gg, bb);
    }
    default:
        return c & 0xFFFFFF;
    }
}

namespace {

// Windows families the sheets are made with, and the installed families closest to them in
// metrics and look. Tried in order before the "Times New Roman" fallback.
struct TFontSubstitute
{
    const char* Family;
    const char* Candidates[3];
};

constexpr TFontSubstitute FontSubstitutes[] = {
    {"Verdana", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Tahoma", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Segoe UI", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Trebuchet MS", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Century Gothic", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Comic Sans MS", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Lucida Sans Unicode", {"DejaVu Sans", "Liberation Sans", nullptr}},
    {"Arial", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"Helvetica", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"Arial Narrow", {"Liberation Sans Narrow", "DejaVu Sans Condensed", "Liberation Sans"}},
    {"MS Sans Serif", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"Microsoft Sans Serif", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"Calibri", {"Carlito", "Liberation Sans", nullptr}},
    {"Times New Roman", {"Liberation Serif", "DejaVu Serif", nullptr}},
    {"Times", {"Liberation Serif", "DejaVu Serif", nullptr}},
    {"Cambria", {"Caladea", "Liberation Serif", nullptr}},
    {"Georgia", {"DejaVu Serif", "Liberation Serif", nullptr}},
    {"Garamond", {"Liberation Serif", "DejaVu Serif", nullptr}},
    {"Book Antiqua", {"DejaVu Serif", "Liberation Serif", nullptr}},
    {"Palatino Linotype", {"DejaVu Serif", "Liberation Serif", nullptr}},
    {"Courier New", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
    {"Courier", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
    {"Lucida Console", {"DejaVu Sans Mono", "Liberation Mono", nullptr}},
    {"Consolas", {"DejaVu Sans Mono", "Liberation Mono", nullptr}},
};

bool FindInstalled(TGraphicsDevice& dev, std::string_view sFamily, std::string& out)
{
    if (!sFamily.empty() && dev.HasFontFamily(sFamily)) {
        out = std::string(sFamily);
        return true;
    }
    for (const auto& s : FontSubstitutes) {
        if (!SameText(s.Family, sFamily)) continue;
        for (const char* c : s.Candidates) {
            if (c && dev.HasFontFamily(c)) {
                out = c;
                return true;
            }
        }
        return false;
    }
    return false;
}

} // namespace

std::string ResolveFontFamily(TGraphicsDevice& dev, std::string_view sFamily)
{
    std::string out;
    if (FindInstalled(dev, sFamily, out)) return out;
    if (FindInstalled(dev, "Times New Roman", out)) return out;
    return {};
}

// ---------------------------------------------------------------------------------------------

TKELDGraphics::TKELDGraphics()
{
    Init();
}

TKELDGraphics::TKELDGraphics(TGraphicsDevice* h) : HDC(h)
{
    Init();
    if (HDC) m_Base = HDC->Transform();
}

TKELDGraphics::~TKELDGraphics()
{
    if (HDC && m_TransformSet) HDC->SetTransform(m_Base);
}

void TKELDGraphics::Init()
{
    // Back to a fresh instance: no GP surface (and so no text rotation), region, parts or
    // radial circle left over from earlier drawing.
    if (HDC && m_TransformSet) HDC->SetTransform(m_Base);
    m_TransformSet = false;
    m_DeviceOnGP = false;
    Graphics.reset();
    CurrentRegion.reset();
    PolyParts.clear();
    GradientRadialPath.reset();
    PenPattern.reset();
    UseGP = false;
    CurrentPosition = {};
    AntiAlias = 1;
    PenColor = 0;
    PenWidth = 1.0;
    PenStyle = psSolid;
    LineJoin = 0;
    BrushColor = 0xFFFFFF;
    BrushStyle = bsSolid;
    ClearFill = false;
    GradientStyle = 0;
    GradientPoints.clear();
    GradientColor = 0xFFFFFF;
    GradientAlpha = 255;
    PenFeatherSize = 0;
    FontName.clear();
    FontSize = 0;
    FontAlign = 0;
    FontBold = FontUnderline = FontItalic = false;
    Alpha = 255;
    FillPattern = nullptr;
    PatternScale = 0;
    PatternBrightness = 1.0;
    Rotation = 0;
}

bool TKELDGraphics::InitGP()
{
    if (!HDC) return false;
    if (!Graphics) Graphics = std::make_unique<TGPSurface>();
    return true;
}

void TKELDGraphics::SetQuality(int nQual)
{
    if (!InitGP()) return;
    Graphics->Smoothing = nQual == 3;
}

TGraphicsDevice* TKELDGraphics::DeviceGP()
{
    if (!InitGP()) return nullptr;
    if (!m_DeviceOnGP) {
        if (!Graphics->Transform.IsIdentity() || m_TransformSet) {
            HDC->SetTransform(Graphics->Transform.Then(m_Base));
            m_TransformSet = true;
        }
        m_DeviceOnGP = true;
    }
    return HDC;
}

TGraphicsDevice* TKELDGraphics::DeviceGDI()
{
    if (!HDC) return nullptr;
    if (m_DeviceOnGP) {
        if (m_TransformSet) HDC->SetTransform(m_Base);
        m_DeviceOnGP = false;
    }
    return HDC;
}

TDevQuality TKELDGraphics::QualityGP() const
{
    return Graphics && Graphics->Smoothing ? TDevQuality::GpAntialiased : TDevQuality::GpAliased;
}

void TKELDGraphics::SetLineAntialiasGP()
{
    if (!InitGP()) return;
    Graphics->Smoothing = GraphicsQuality == 3;
}

void TKELDGraphics::SetTextAntialiasGP()
{
    if (!InitGP()) return;
    const bool aa = GraphicsQuality == 2 || GraphicsQuality == 3;
    Graphics->Smoothing = aa;
    Graphics->TextAntialias = aa;
}

// --- pens and brushes ------------------------------------------------------------------------

TDevPen TKELDGraphics::GetPenGP() const
{
    TDevPen pen;
    pen.Color = GetModeColor(PenColor);
    pen.Alpha = std::clamp(Alpha, 0, 255);
    pen.Width = static_cast<float>(PenWidth);
    pen.Join = LineJoin == 1 ? TDevJoin::Miter : TDevJoin::Round;
    pen.Cap = TDevCap::Round;
    pen.Dash = DashOf(PenStyle);
    return pen;
}

TDevBrush TKELDGraphics::GetBrushGP()
{
    const int q = GraphicsQuality;
    TDevBrush br;
    br.Alpha = std::clamp(Alpha, 0, 255);
    if (q != 0 && FillPattern) {
        br.Kind = TDevBrush::TKind::Texture;
        br.Texture = FillPattern;
        const int mode = GraphicsColorMode;
        if (mode == 2 || mode == 3)
            br.Matrix = TColorMatrix::Grayscale();
        else if (mode == 4)
            br.Matrix = TColorMatrix::Sepia();
        if (Alpha != 255) br.Matrix.M[3][3] = static_cast<float>(br.Alpha / 255.0);
        if (PatternBrightness != 1.0)
            for (int c = 0; c < 3; ++c)
                br.Matrix.M[4][c] += static_cast<float>(PatternBrightness / 255.0);
        TDevMatrix m;
        if (PatternScale > 0 && PatternScale != 1)
            m = TDevMatrix::Scaling(PatternScale, PatternScale);
        if (Rotation != 0) m = TDevMatrix::Rotation(-Rotation).Then(m);
        br.TextureTransform = m;
        return br;
    }
    if (GradientStyle != 0 && (GradientPoints.size() < 2 || q == 0)) GradientStyle = 0;
    const TPointF p1{double(GradientPoints.size() > 0 ? GradientPoints[0].X : 0),
                     double(GradientPoints.size() > 0 ? GradientPoints[0].Y : 0)};
    const TPointF p2{double(GradientPoints.size() > 1 ? GradientPoints[1].X : 0),
                     double(GradientPoints.size() > 1 ? GradientPoints[1].Y : 0)};
    if (GradientStyle == 1) {
        br.Kind = TDevBrush::TKind::LinearGradient;
        br.Color = GetModeColor(BrushColor);
        br.P1 = p1;
        br.P2 = p2;
        br.Color2 = GetModeColor(GradientColor);
        br.Alpha2 = std::clamp(GradientAlpha, 0, 255);
        return br;
    }
    if (GradientStyle == 2) {
        const double r = std::trunc(std::hypot(p2.X - p1.X, p2.Y - p1.Y));
        br.Kind = TDevBrush::TKind::RadialGradient;
        br.Color = GetModeColor(BrushColor);
        br.P1 = p1;
        br.Radius = r;
        br.Color2 = GetModeColor(GradientColor);
        br.Alpha2 = std::clamp(GradientAlpha, 0, 255);
        GradientRadialPath = std::make_unique<TDevPath>();
        GradientRadialPath->AddEllipse({p1.X - r, p1.Y - r, p1.X + r, p1.Y + r});
        return br;
    }
    br.Color = GetModeColor(BrushColor);
    if (BrushStyle >= bsHorizontal && BrushStyle <= bsDiagCross) {
        br.Kind = TDevBrush::TKind::Hatch;
        br.Hatch = static_cast<TDevHatch>(BrushStyle - bsHorizontal);
    }
    return br;
}

TDevBrush TKELDGraphics::GdiBrush(bool& bFill) const
{
    TDevBrush br;
    br.Color = GetModeColor(BrushColor);
    bFill = BrushStyle != bsClear;
    if (BrushStyle >= bsHorizontal && BrushStyle <= bsDiagCross) {
        br.Kind = TDevBrush::TKind::Hatch;
        br.Hatch = static_cast<TDevHatch>(BrushStyle - bsHorizontal);
    }
    return br;
}

bool TKELDGraphics::GdiPen(TDevPen& pen) const
{
    if (PenStyle == psClear) return false;
    pen.Color = GetModeColor(PenColor);
    pen.Width = std::max(0.0, std::trunc(PenWidth));
    // A device-context pen wider than one pixel cannot be dashed; it draws solid.
    pen.Dash = pen.Width > 1 ? TDevDash::Solid : DashOf(PenStyle);
    pen.Join = TDevJoin::Round;
    pen.Cap = TDevCap::Round;
    return true;
}

// --- shapes ----------------------------------------------------------------------------------

void TKELDGraphics::Rectangle(int x1, int y1, int x2, int y2)
{
    Polygon({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}});
}

bool TKELDGraphics::PolygonUsesGP() const
{
    const int q = GraphicsQuality;
    return q != 0 && (UseGP || q != 1 || Alpha != 255 || PenWidth != 1.0 || FillPattern ||
                      GradientStyle != 0 || Graphics);
}

void TKELDGraphics::Polygon(const std::vector<TPoint>& points)
{
    if (!HDC || points.empty()) return;
    try {
        if (PolygonUsesGP())
            PolygonGP(points);
        else
            PolygonGDI(points);
    } catch (...) {
        // A failing device draws nothing; drawing never reports errors.
    }
}

void TKELDGraphics::PolygonGDI(const std::vector<TPoint>& points)
{
    TGraphicsDevice* dev = DeviceGDI();
    const TDevPath path = PolygonPath(points);
    bool bFill = false;
    const TDevBrush br = GdiBrush(bFill);
    if (bFill) dev->FillPath(path, br, TDevQuality::GdiAliased);
    TDevPen pen;
    if (GdiPen(pen)) dev->StrokePath(path, pen, TDevQuality::GdiAliased);
}

void TKELDGraphics::RadialOverlay(const TDevPath& path)
{
    if (GradientStyle != 2 || !GradientRadialPath) return;
    TGraphicsDevice* dev = DeviceGP();
    dev->Save();
    TDevRegion clip;
    clip.StartsInfinite = true;
    clip.Combine(TDevCombine::Exclude, *GradientRadialPath);
    dev->SetClip(clip);
    TDevBrush outer;
    outer.Color = GradientColor & 0xFFFFFF;
    outer.Alpha = std::clamp(GradientAlpha, 0, 255);
    dev->FillPath(path, outer, QualityGP());
    dev->Restore();
}

void TKELDGraphics::FillAndOutlineGP(const TDevPath& path, bool bFill, bool bOutline)
{
    const TDevBrush br = GetBrushGP();
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    TGraphicsDevice* dev = DeviceGP();
    if (bFill) dev->FillPath(path, br, QualityGP());
    RadialOverlay(path);
    if (bOutline) dev->StrokePath(path, pen, QualityGP());
}

void TKELDGraphics::PolygonGP(const std::vector<TPoint>& points)
{
    if (!InitGP()) return;
    if (GradientStyle == 0 && Alpha == 0) return;
    if (GradientStyle != 0 && Alpha == 0 && GradientAlpha == 0) return;
    FillAndOutlineGP(PolygonPath(points), !ClearFill, PenStyle != psClear);
}

void TKELDGraphics::Polyline(const std::vector<TPoint>& points)
{
    if (!HDC || points.empty()) return;
    const int q = GraphicsQuality;
    const bool gp =
        q != 0 && (UseGP || q != 1 || Alpha != 255 || PenWidth != 1.0 || FillPattern || Graphics);
    try {
        if (gp)
            PolylineGP(points);
        else
            PolylineGDI(points);
    } catch (...) {
    }
}

void TKELDGraphics::PolylineGDI(const std::vector<TPoint>& points)
{
    TDevPen pen;
    if (!GdiPen(pen)) return;
    TDevPath path;
    path.AddPolyline(points.data(), points.size());
    DeviceGDI()->StrokePath(path, pen, TDevQuality::GdiAliased);
}

void TKELDGraphics::PolylineGP(const std::vector<TPoint>& points)
{
    if (!InitGP() || PenStyle == psClear || Alpha == 0) return;
    TDevPath path;
    path.AddPolyline(points.data(), points.size());
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    DeviceGP()->StrokePath(path, pen, QualityGP());
}

void TKELDGraphics::LineTo(int x, int y)
{
    Polyline({CurrentPosition, {x, y}});
    CurrentPosition = {x, y};
}

void TKELDGraphics::Ellipse(int x1, int y1, int x2, int y2)
{
    if (!HDC) return;
    const int q = GraphicsQuality;
    const bool gp =
        UseGP || q != 1 || Alpha != 255 || PenWidth != 1.0 || FillPattern || GradientStyle != 0;
    if (!gp) {
        TGraphicsDevice* dev = DeviceGDI();
        TDevPath path;
        path.AddEllipse({double(x1), double(y1), double(x2), double(y2)});
        bool bFill = false;
        const TDevBrush br = GdiBrush(bFill);
        if (bFill) dev->FillPath(path, br, TDevQuality::GdiAliased);
        TDevPen pen;
        if (GdiPen(pen)) dev->StrokePath(path, pen, TDevQuality::GdiAliased);
        return;
    }
    if (!InitGP() || Alpha == 0) return;
    TDevPath fill;
    fill.AddEllipse({double(x1), double(y1), double(x2), double(y2)});
    const TDevBrush br = GetBrushGP();
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    TGraphicsDevice* dev = DeviceGP();
    if (!ClearFill) dev->FillPath(fill, br, QualityGP());
    RadialOverlay(fill);
    if (PenStyle != psClear) {
        TDevPath outline;
        outline.AddEllipse({double(x1), double(y1), double(x2 - 1), double(y2 - 1)});
        dev->StrokePath(outline, pen, QualityGP());
    }
}

void TKELDGraphics::Curve(const std::vector<TPoint>& points)
{
    if (!InitGP() || PenStyle == psClear || Alpha == 0 || points.empty()) return;
    TDevPath path;
    path.AddCurve(points.data(), points.size(), 1.0);
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    DeviceGP()->StrokePath(path, pen, QualityGP());
}

void TKELDGraphics::Arc(TPoint tl, TPoint br, float sa, float ea)
{
    if (!InitGP() || PenStyle == psClear || Alpha == 0) return;
    TDevPath path;
    path.AddArc({double(tl.X), double(tl.Y), double(br.X), double(br.Y)}, sa, ea);
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    DeviceGP()->StrokePath(path, pen, QualityGP());
}

void TKELDGraphics::SetPixel(int x, int y, TColor c)
{
    if (TGraphicsDevice* dev = DeviceGDI()) dev->SetPixel(x, y, c & 0xFFFFFF);
}

void TKELDGraphics::SetPixelGP(int x, int y, TColor c)
{
    if (!InitGP() || PenStyle == psClear || Alpha == 0) return;
    TDevPen pen = GetPenGP();
    pen.Color = GetModeColor(c);
    TDevPath path;
    path.MoveTo(x, y);
    path.LineTo(x, y);
    SetLineAntialiasGP();
    DeviceGP()->StrokePath(path, pen, QualityGP());
}

// --- text ------------------------------------------------------------------------------------

TDevFont TKELDGraphics::ResolvedFont()
{
    TDevFont f;
    if (!HDC) return f;
    f.Family = ResolveFontFamily(*HDC, FontName);
    f.PixelSize = FontSize;
    f.Bold = FontBold;
    f.Italic = FontItalic;
    f.Underline = FontUnderline;
    return f;
}

TDevTextLayout TKELDGraphics::LayoutFor(const TRectF& box) const
{
    TDevTextLayout l;
    l.Box = box;
    l.Align = FontAlign == 1   ? TDevAlign::Center
              : FontAlign == 2 ? TDevAlign::Far
                               : TDevAlign::Near;
    l.Antialias = Graphics && Graphics->TextAntialias;
    return l;
}

void TKELDGraphics::TextOut(const TRect& rIn, std::string_view sText, float fRotation)
{
    if (!InitGP() || Alpha == 0) return;
    SetLineAntialiasGP();
    SetTextAntialiasGP();
    const TDevFont font = ResolvedFont();

    TRect r = rIn;
    const std::vector<TPoint> saved = GradientPoints;
    if (fRotation != 0) {
        const TPoint c{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        r = {r.Left - c.X, r.Top - c.Y, r.Right - c.X, r.Bottom - c.Y};
        for (auto& p : GradientPoints)
            p = {p.X - c.X, p.Y - c.Y};
        // The rotation stays on the surface: later drawing on this instance is turned too.
        Graphics->Transform = TDevMatrix::Rotation(-fRotation)
                                  .Then(TDevMatrix::Translation(c.X, c.Y))
                                  .Then(Graphics->Transform);
        m_DeviceOnGP = false;
    }
    const TDevTextLayout layout =
        LayoutFor({double(r.Left), double(r.Top), double(r.Right), double(r.Bottom)});
    const TDevBrush br = GetBrushGP();
    GradientPoints = saved;

    const bool bFill = !ClearFill && BrushStyle != bsClear;
    const bool bOutline = PenStyle != psClear;
    const bool bOverlay = GradientStyle == 2 && GradientRadialPath;
    TGraphicsDevice* dev = DeviceGP();
    if (!bOutline && !bOverlay && br.Kind == TDevBrush::TKind::Solid) {
        // Plain solid text: the same layout drawn as glyphs, much faster than outlines.
        if (bFill) dev->DrawText(font, sText, layout, br.Color, br.Alpha);
        return;
    }
    TDevPath path;
    dev->TextPath(font, sText, layout, path);
    if (bFill) dev->FillPath(path, br, QualityGP());
    RadialOverlay(path);
    if (bOutline) dev->StrokePath(path, GetPenGP(), QualityGP());
}

void TKELDGraphics::TextOut(TPoint pt, std::string_view sText, float fRotation)
{
    int w = 0, h = 0;
    MeasureText(sText, w, h);
    TextOut(TRect{pt.X, pt.Y, pt.X + w + 100, pt.Y + h}, sText, fRotation);
}

void TKELDGraphics::TextOut(std::string_view sText, float fRotation)
{
    TextOut(CurrentPosition, sText, fRotation);
}

void TKELDGraphics::MeasureText(std::string_view sText, int& width, int& height)
{
    width = height = 0;
    if (!InitGP()) return;
    SetLineAntialiasGP();
    SetTextAntialiasGP();
    const TDevTextExtent e = HDC->MeasureText(ResolvedFont(), sText, 0);
    width = static_cast<int>(std::trunc(e.Width));
    height = static_cast<int>(std::trunc(e.Height));
}

int TKELDGraphics::MeasureTextHeight(std::string_view sText, int width)
{
    if (!InitGP()) return 0;
    const TDevTextExtent e = HDC->MeasureText(ResolvedFont(), sText, width > 0 ? width : 0);
    return static_cast<int>(std::trunc(std::min(e.Height, 5000.0)));
}

void TKELDGraphics::DrawPathText(const std::vector<TPoint>& points, std::string_view sText)
{
    if (!InitGP() || Alpha == 0 || points.empty()) return;
    SetLineAntialiasGP();
    SetTextAntialiasGP();
    const TDevFont font = ResolvedFont();
    const std::u32string chars = Utf8ToCodePoints(sText);
    std::size_t seg = 0;
    double x = points[0].X, y = points[0].Y;
    for (char32_t ch : chars) {
        if (seg + 1 >= points.size()) break;
        const double dx = points[seg + 1].X - points[seg].X;
        const double dy = points[seg + 1].Y - points[seg].Y;
        const double angle = dx == 0 ? 0.0 : std::atan(-dy / dx) * 180.0 / 3.14159265358979323846;
        const std::string s = CodePointsToUtf8(std::u32string_view(&ch, 1));
        TDevPath glyph;
        HDC->TextPath(font, s, LayoutFor({0, 0, 0, 0}), glyph);
        glyph.Transform(TDevMatrix::Rotation(-angle).Then(TDevMatrix::Translation(x, y)));
        const TDevBrush br = GetBrushGP();
        DeviceGP()->FillPath(glyph, br, QualityGP());
        // Advance by the character's width along the polyline, across segment ends.
        double advance = HDC->MeasureText(font, s, 0).Width;
        while (advance > 0 && seg + 1 < points.size()) {
            const double ex = points[seg + 1].X, ey = points[seg + 1].Y;
            const double rest = std::hypot(ex - x, ey - y);
            if (advance < rest) {
                x += (ex - x) * advance / rest;
                y += (ey - y) * advance / rest;
                advance = 0;
            } else {
                advance -= rest;
                x = ex;
                y = ey;
                ++seg;
            }
        }
    }
}

// --- regions and poly-polygons ---------------------------------------------------------------

void TKELDGraphics::AddPolygon(const std::vector<TPoint>& points, int mode)
{
    PolyParts.push_back({PolyParts.empty() ? 0 : mode, points});
}

void TKELDGraphics::PolyPolygon()
{
    if (PolyParts.empty() || !InitGP()) return;
    const bool fast =
        PolyParts.size() == 1 || std::all_of(PolyParts.begin() + 1, PolyParts.end(),
                                             [](const TNGPoly& p) { return p.CombineMode == 4; });
    if (fast) {
        PolyPolyFastGP();
        return;
    }
    if (BrushStyle != bsClear) FillPolyPoly();
    if (BrushColor != PenColor && PenStyle != psClear) OutlinePolyPoly();
}

void TKELDGraphics::PolyPolyFastGP()
{
    if (PolyParts.empty() || !InitGP()) return;
    TDevPath path;
    path.FillRule = TDevFillRule::EvenOdd;
    for (const auto& part : PolyParts)
        path.AddPolygon(part.Points);
    FillAndOutlineGP(path, BrushStyle != bsClear, BrushColor != PenColor && PenStyle != psClear);
}

void TKELDGraphics::FillPolyPoly()
{
    if (PolyParts.empty() || !InitGP()) return;
    const TDevBrush br = GetBrushGP();
    SetLineAntialiasGP();
    TGraphicsDevice* dev = DeviceGP();
    for (std::size_t i = 0; i < PolyParts.size(); ++i) {
        const TNGPoly& part = PolyParts[i];
        if (part.CombineMode == 1) continue;
        TDevRegion clip;
        if (part.CombineMode == 4) {
            clip.Combine(TDevCombine::Replace, PolygonPath(part.Points));
            for (std::size_t j = 0; j < PolyParts.size(); ++j) {
                if (j == i) continue;
                clip.Combine(PolyParts[j].CombineMode == 4 ? TDevCombine::Xor
                                                           : TDevCombine::Exclude,
                             PolygonPath(PolyParts[j].Points));
            }
        } else {
            clip.StartsInfinite = true;
            for (std::size_t j = i + 1; j < PolyParts.size(); ++j)
                clip.Combine(TDevCombine::Exclude, PolygonPath(PolyParts[j].Points));
        }
        dev->Save();
        dev->SetClip(clip);
        const TDevPath path = PolygonPath(part.Points);
        dev->FillPath(path, br, QualityGP());
        RadialOverlay(path);
        dev->Restore();
    }
}

void TKELDGraphics::OutlinePolyPoly()
{
    if (PolyParts.empty() || !InitGP()) return;
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    TGraphicsDevice* dev = DeviceGP();
    for (std::size_t i = 0; i < PolyParts.size(); ++i) {
        const TNGPoly& part = PolyParts[i];
        if (part.CombineMode == 4) continue;
        TDevRegion clip;
        if (part.CombineMode == 1) {
            // Inside the other base parts, outside the other holes.
            for (std::size_t j = 0; j < PolyParts.size(); ++j)
                if (j != i && IsBaseMode(PolyParts[j].CombineMode))
                    clip.Combine(TDevCombine::Union, PolygonPath(PolyParts[j].Points));
            for (std::size_t j = 0; j < PolyParts.size(); ++j)
                if (j != i && PolyParts[j].CombineMode == 1)
                    clip.Combine(TDevCombine::Exclude, PolygonPath(PolyParts[j].Points));
        } else {
            clip.StartsInfinite = true;
            for (std::size_t j = 0; j < PolyParts.size(); ++j)
                if (j != i && PolyParts[j].CombineMode != 4)
                    clip.Combine(TDevCombine::Exclude, PolygonPath(PolyParts[j].Points));
        }
        dev->Save();
        dev->SetClip(clip);
        dev->StrokePath(PolygonPath(part.Points), pen, QualityGP());
        dev->Restore();
    }
}

TDevRegion TKELDGraphics::GetPolyPolyHRgn() const
{
    TDevRegion rgn;
    for (const auto& part : PolyParts)
        rgn.Combine(part.CombineMode == 1 ? TDevCombine::Exclude : TDevCombine::Union,
                    PolygonPath(part.Points));
    return rgn;
}

void TKELDGraphics::FillRegion()
{
    if (!CurrentRegion || !InitGP()) return;
    if (!ClearFill) {
        const TDevBrush br = GetBrushGP();
        SetLineAntialiasGP();
        DeviceGP()->FillRegion(*CurrentRegion, br, QualityGP());
    }
    OutlineRegion();
}

void TKELDGraphics::OutlineRegion()
{
    if (!CurrentRegion || !HDC) return;
    if (GraphicsQuality == 1 && Alpha == 255) {
        const int w = std::max(1, static_cast<int>(std::trunc(PenWidth)));
        DeviceGDI()->FrameRegion(*CurrentRegion, GetModeColor(PenColor), w, w);
        return;
    }
    OutlineRegionGP();
}

void TKELDGraphics::OutlineRegionGP()
{
    if (!CurrentRegion || !InitGP()) return;
    const TDevPen pen = GetPenGP();
    SetLineAntialiasGP();
    TGraphicsDevice* dev = DeviceGP();
    TDevPath edges;
    for (const TRect& r : dev->RegionRects(*CurrentRegion, {-100, -100, 1900, 1900}))
        edges.Append(RectPath(r.Left, r.Top, r.Right, r.Bottom));
    if (!edges.Empty()) dev->StrokePath(edges, pen, QualityGP());
}

void TKELDGraphics::PolyFeather(const std::vector<TPoint>& points)
{
    if (!InitGP() || points.empty()) return;
    PenFeatherSize = 20;
    const int n = 2 * PenFeatherSize + 1;
    PenPattern = std::make_unique<TBitmap>(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x - PenFeatherSize, y - PenFeatherSize);
            const int a = d <= PenFeatherSize
                              ? static_cast<int>(std::trunc((1 - d / PenFeatherSize) * 63.75))
                              : 0;
            PenPattern->SetPixel(x, y, ColorToArgb(PenColor, a));
        }
    TGraphicsDevice* dev = DeviceGP();
    const TRectF src{0, 0, double(n), double(n)};
    auto stamp = [&](int x, int y) {
        dev->DrawImage(*PenPattern, src,
                       {double(x - PenFeatherSize), double(y - PenFeatherSize),
                        double(x + PenFeatherSize + 1), double(y + PenFeatherSize + 1)},
                       {});
    };
    if (points.size() == 1) stamp(points[0].X, points[0].Y);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        // Bresenham walk over every pixel of the segment.
        int x0 = points[i].X, y0 = points[i].Y;
        const int x1 = points[i + 1].X, y1 = points[i + 1].Y;
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            stamp(x0, y0);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    PenPattern.reset();
}

} // namespace ff
