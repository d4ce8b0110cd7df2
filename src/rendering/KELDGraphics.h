// TKELDGraphics: the drawing layer every sheet object and the page draw through. It holds the
// pen, brush and text state, picks the "GDI" (aliased, integer, opaque) or "GP" (alpha,
// fractional, gradients, text as outlines) back end per primitive, applies the process-wide
// colour mode, and hands finished requests to a TGraphicsDevice.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/GraphicsDevice.h"
#include "support/Types.h"

namespace ff {

class TStream;

// Process-wide drawing settings, read at every primitive (UI thread only).
// 0: GDI for polygons and polylines, no gradients or textures; 1: GDI for simple shapes, GP
// otherwise, aliased; 2: GP always, aliased lines, antialiased text; 3: GP, all antialiased.
extern int GraphicsQuality;
// 0 normal, 1 black, 2 black-and-white, 3 grayscale, 4 sepia.
extern int GraphicsColorMode;

enum TPenStyle : int { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle : int {
    bsSolid = 0,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// One part of a poly-polygon: 0 base outline, 1 hole, 4 exclusive-or part.
struct TNGPoly
{
    int CombineMode = 0;
    std::vector<TPoint> Points;
};

// The GP surface of an instance: its transform (text rotation stays on it) and smoothing.
struct TGPSurface
{
    TDevMatrix Transform;
    bool Smoothing = false;     // antialiased shapes
    bool TextAntialias = false; // antialiased text
};

// A colour through the colour mode `nMode`.
TColor ModeColor(TColor c, int nMode);

// The family text is drawn in for sFamily: the family itself when installed, else a close
// installed substitute, else "Times New Roman" or its substitute, else "" (the platform serif).
std::string ResolveFontFamily(TGraphicsDevice& dev, std::string_view sFamily);

class TKELDGraphics
{
public:
    TKELDGraphics();
    explicit TKELDGraphics(TGraphicsDevice* h);
    explicit TKELDGraphics(TGraphicsDevice& h) : TKELDGraphics(&h) {}
    ~TKELDGraphics();
    TKELDGraphics(const TKELDGraphics&) = delete;
    TKELDGraphics& operator=(const TKELDGraphics&) = delete;

    TGraphicsDevice* HDC = nullptr;
    std::unique_ptr<TGPSurface> Graphics; // created on first GP need
    bool UseGP = false;
    TPoint CurrentPosition;
    std::unique_ptr<TDevRegion> CurrentRegion;
    std::vector<TNGPoly> PolyParts;
    int AntiAlias = 1; // reserved
    TColor PenColor = 0;
    double PenWidth = 1.0;
    int PenStyle = psSolid;
    int LineJoin = 0; // 1 mitred, otherwise round (GP only)
    TColor BrushColor = 0xFFFFFF;
    int BrushStyle = bsSolid;
    bool ClearFill = false; // no fills on the GP back end
    int GradientStyle = 0;  // 0 none, 1 linear, 2 radial
    std::vector<TPoint> GradientPoints;
    TColor GradientColor = 0xFFFFFF;
    int GradientAlpha = 255;
    std::unique_ptr<TDevPath> GradientRadialPath;
    int PenFeatherSize = 0;
    std::string FontName;
    float FontSize = 0; // em size in pixels
    int FontAlign = 0;  // 0 left, 1 centred, 2 right
    bool FontBold = false;
    bool FontUnderline = false;
    bool FontItalic = false;
    int Alpha = 255;
    const TBitmap* FillPattern = nullptr; // not owned
    double PatternScale = 0;
    double PatternBrightness = 1.0;
    std::unique_ptr<TBitmap> PenPattern; // the feather stamp while PolyFeather runs
    double Rotation = 0;                 // degrees; texture fills and drawn images

    void Init();
    bool InitGP();
    void SetQuality(int nQual);
    void SetGradientPoints(std::vector<TPoint> points) { GradientPoints = std::move(points); }

    // Shapes, in device pixels.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void MoveTo(int x, int y) { CurrentPosition = {x, y}; }
    void MoveTo(TPoint pt) { CurrentPosition = pt; }
    void LineTo(int x, int y);
    void LineTo(TPoint pt) { LineTo(pt.X, pt.Y); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Curve(const std::vector<TPoint>& points);
    void Arc(TPoint tl, TPoint br, float sa, float ea);
    void SetPixel(int x, int y, TColor c);
    void SetPixelGP(int x, int y, TColor c);

    // Text (UTF-8).
    void TextOut(const TRect& r, std::string_view sText, float fRotation);
    void TextOut(TPoint pt, std::string_view sText, float fRotation);
    void TextOut(std::string_view sText, float fRotation);
    void MeasureText(std::string_view sText, int& width, int& height);
    int MeasureTextHeight(std::string_view sText, int width);
    void DrawPathText(const std::vector<TPoint>& points, std::string_view sText);

    // Regions and poly-polygons.
    void AddPolygon(const std::vector<TPoint>& points, int mode);
    void PolyPolygon();
    void FillPolyPoly();
    void OutlinePolyPoly();
    void PolyPolyFastGP();
    TDevRegion GetPolyPolyHRgn() const;
    void FillRegion();
    void OutlineRegion();
    void OutlineRegionGP();
    void PolyFeather(const std::vector<TPoint>& points);

    // Support operations.
    TColor GetModeColor(TColor c) const { return ModeColor(c, GraphicsColorMode); }
    TDevBrush GetBrushGP();
    TDevPen GetPenGP() const;
    void SetLineAntialiasGP();
    void SetTextAntialiasGP();

    // For drawing code beside this class (images): the device with the GP surface's transform
    // in force, or null without a device. The quality GP shapes are drawn with now.
    TGraphicsDevice* DeviceGP();
    TDevQuality QualityGP() const;
    // The font as the device gets it (family resolved, size, style).
    TDevFont ResolvedFont();

    // Images (KELDGraphicsBitmaps.cpp), rectangles in device pixels. A source of (-1, -1, -1, -1)
    // is the whole image; a destination of (-1, -1, -1, -1) is the image's own size at (0, 0).
    void DrawBitmapStream(TStream& m, const TRect& src, const TRect& dest);
    void DrawBitmapStreamGP(TStream& m, const TRect& src, const TRect& dest);
    // Returns the milliseconds spent decoding.
    double AlphaBlt(TStream& s, const TRect& dest);
    void DrawBitmap(const TBitmap& bmp, int xDest, int yDest);
    void DrawBitmap(const TBitmap& bmp, const TRect& src, const TRect& dest);
    // Set FillPattern to the decoded image and hand it to the caller, who keeps it alive while
    // this instance draws; null (FillPattern unchanged) when it cannot be loaded.
    std::unique_ptr<TBitmap> LoadFillPattern(const std::string& sFile);
    std::unique_ptr<TBitmap> LoadFillPatternStream(TStream& s);

private:
    bool PolygonUsesGP() const;
    void PolygonGDI(const std::vector<TPoint>& points);
    void PolygonGP(const std::vector<TPoint>& points);
    void PolylineGDI(const std::vector<TPoint>& points);
    void PolylineGP(const std::vector<TPoint>& points);
    TDevBrush GdiBrush(bool& bFill) const;
    bool GdiPen(TDevPen& pen) const;
    TGraphicsDevice* DeviceGDI();
    // Fills `path` with the GP brush and the radial overlay, and outlines it.
    void FillAndOutlineGP(const TDevPath& path, bool bFill, bool bOutline);
    void RadialOverlay(const TDevPath& path);
    TDevTextLayout LayoutFor(const TRectF& box) const;

    TDevMatrix m_Base;           // the device's transform when this instance was made
    bool m_DeviceOnGP = false;   // the device currently carries the GP surface's transform
    bool m_TransformSet = false; // the device's transform was changed by this instance
};

} // namespace ff
