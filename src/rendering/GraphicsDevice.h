// The drawing port behind TKELDGraphics: a small set of primitives in device pixels with fully
// resolved pens and brushes. The rules (which back end, which colour) live in TKELDGraphics; a
// device only turns finished requests into pixels (QtGraphicsDevice) or records them (tests).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/Bitmap.h"
#include "support/Types.h"

namespace ff {

// How a primitive is rasterised. Gdi: aliased, integer pen widths, opaque colours, the fixed
// pixel dash patterns of a plain device context. Gp: alpha, fractional widths, dashes scaled by
// the pen width, aliased or antialiased edges.
enum class TDevQuality : std::uint8_t { GdiAliased, GpAliased, GpAntialiased };

constexpr bool IsGdi(TDevQuality q)
{
    return q == TDevQuality::GdiAliased;
}
constexpr bool IsAntialiased(TDevQuality q)
{
    return q == TDevQuality::GpAntialiased;
}

// Affine transform, row-vector convention: x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy.
struct TDevMatrix
{
    double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;

    bool IsIdentity() const
    {
        return M11 == 1 && M12 == 0 && M21 == 0 && M22 == 1 && Dx == 0 && Dy == 0;
    }
    TPointF Map(TPointF p) const
    {
        return {M11 * p.X + M21 * p.Y + Dx, M12 * p.X + M22 * p.Y + Dy};
    }
    // this, then `next`.
    TDevMatrix Then(const TDevMatrix& n) const
    {
        return {M11 * n.M11 + M12 * n.M21,      M11 * n.M12 + M12 * n.M22,
                M21 * n.M11 + M22 * n.M21,      M21 * n.M12 + M22 * n.M22,
                Dx * n.M11 + Dy * n.M21 + n.Dx, Dx * n.M12 + Dy * n.M22 + n.Dy};
    }
    static TDevMatrix Translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
    // Clockwise on a y-down page for positive degrees (the GDI+ convention).
    static TDevMatrix Rotation(double dDegrees);
    static TDevMatrix Scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    friend bool operator==(const TDevMatrix&, const TDevMatrix&) = default;
};

enum class TDevFillRule : std::uint8_t { Winding, EvenOdd };

// A path in device pixels (before the device's current transform).
class TDevPath
{
public:
    enum class TOp : std::uint8_t { MoveTo, LineTo, CubicTo, Close };

    TDevFillRule FillRule = TDevFillRule::Winding;
    std::vector<TOp> Ops;
    std::vector<TPointF> Points; // one per MoveTo/LineTo, three per CubicTo, none per Close

    bool Empty() const { return Ops.empty(); }
    void Clear()
    {
        Ops.clear();
        Points.clear();
    }
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void CubicTo(TPointF c1, TPointF c2, TPointF p);
    void Close();
    // Closed figure through the points (nothing for fewer than one point).
    void AddPolygon(const TPoint* pts, std::size_t n);
    void AddPolygon(const std::vector<TPoint>& pts) { AddPolygon(pts.data(), pts.size()); }
    // Open figure through the points.
    void AddPolyline(const TPoint* pts, std::size_t n);
    void AddRect(const TRectF& r);
    // Ellipse inscribed in r, as four cubic arcs.
    void AddEllipse(const TRectF& r);
    // Arc of the ellipse inscribed in r, from dStart degrees sweeping dSweep degrees (clockwise
    // on a y-down page for positive values), as an open figure.
    void AddArc(const TRectF& r, double dStart, double dSweep);
    // Cardinal spline through the points, open figure.
    void AddCurve(const TPoint* pts, std::size_t n, double dTension);
    void Append(const TDevPath& other);
    void Transform(const TDevMatrix& m);
    // Bounding box of all points (control points included); (0,0,0,0) when empty.
    TRectF Bounds() const;
};

enum class TDevDash : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot };
enum class TDevJoin : std::uint8_t { Round, Miter };
enum class TDevCap : std::uint8_t { Round, Flat };

struct TDevPen
{
    TColor Color = 0;
    int Alpha = 255;
    double Width = 1.0; // pixels; under Gdi quality already truncated (0 draws one pixel)
    TDevDash Dash = TDevDash::Solid;
    TDevJoin Join = TDevJoin::Round;
    TDevCap Cap = TDevCap::Round;
    friend bool operator==(const TDevPen&, const TDevPen&) = default;
};

// 5 x 5 colour matrix applied to (R, G, B, A, 1) row vectors with channels in 0..1.
struct TColorMatrix
{
    float M[5][5] = {
        {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}};

    static TColorMatrix Identity() { return {}; }
    static TColorMatrix Grayscale();
    static TColorMatrix Sepia();
    bool IsIdentity() const;
    // The colour of one straight-alpha pixel through the matrix, clamped.
    TArgb Apply(TArgb p) const;
    friend bool operator==(const TColorMatrix&, const TColorMatrix&) = default;
};

enum class TDevHatch : std::uint8_t {
    Horizontal,
    Vertical,
    ForwardDiagonal,
    BackwardDiagonal,
    Cross,
    DiagonalCross
};

struct TDevBrush
{
    enum class TKind : std::uint8_t { Solid, Hatch, LinearGradient, RadialGradient, Texture };

    TKind Kind = TKind::Solid;
    TColor Color = 0xFFFFFF; // solid colour, hatch foreground, first gradient / centre colour
    int Alpha = 255;
    TDevHatch Hatch = TDevHatch::Horizontal; // background of a hatch is transparent

    // Linear: from P1 in Color to P2 in Color2, mirrored beyond. Radial: a circle of Radius
    // about P1 in Color at its centre and Color2 at its rim; nothing outside the circle.
    TPointF P1, P2;
    double Radius = 0;
    TColor Color2 = 0xFFFFFF;
    int Alpha2 = 255;

    // Texture: tiled from the origin, each tile the bitmap's pixels through Matrix, mapped by
    // TextureTransform (bitmap pixels to device pixels). Not owned.
    const TBitmap* Texture = nullptr;
    TColorMatrix Matrix;
    TDevMatrix TextureTransform;
};

// Clip and fill regions: paths combined in order. The start is either nothing or everything.
enum class TDevCombine : std::uint8_t { Replace, Union, Intersect, Exclude, Xor };

struct TDevRegion
{
    bool StartsInfinite = false;
    struct TStep
    {
        TDevCombine Op;
        TDevPath Path;
    };
    std::vector<TStep> Steps;

    void Combine(TDevCombine op, TDevPath path) { Steps.push_back({op, std::move(path)}); }
    bool Empty() const { return !StartsInfinite && Steps.empty(); }
};

struct TDevFont
{
    // Resolved family (TKELDGraphics has already applied substitutions); empty means the
    // platform's default serif family.
    std::string Family;
    double PixelSize = 0; // em size in pixels
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const TDevFont&, const TDevFont&) = default;
};

enum class TDevAlign : std::uint8_t { Near, Center, Far };

// Text laid out from the top of Box; lines wrap at the box width when it is > 0 (words that do
// not fit on a line of their own break between characters); CR LF, CR and LF break lines. Text
// is never clipped to the box.
struct TDevTextLayout
{
    TRectF Box;
    TDevAlign Align = TDevAlign::Near;
    bool Antialias = true;
};

struct TDevTextExtent
{
    double Width = 0;
    double Height = 0;
};

struct TDevImageOptions
{
    bool Smooth = false; // bicubic-like filtering; nearest neighbour otherwise
    double Opacity = 1.0;
    const TColorMatrix* Matrix = nullptr; // applied to every pixel when set
    bool UseColorKey = false;             // pixels of exactly ColorKey (RGB) become transparent
    TColor ColorKey = 0;
};

class TGraphicsDevice
{
public:
    virtual ~TGraphicsDevice() = default;

    // Pixels per inch of the target.
    virtual double DpiX() const = 0;
    virtual double DpiY() const = 0;

    // State: Save/Restore nest and cover the transform and the clip.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    // Replaces the transform applied to all later drawing (relative to the device's own base).
    virtual void SetTransform(const TDevMatrix& m) = 0;
    virtual TDevMatrix Transform() const = 0;
    // Combines the clip with a region given under the current transform; NoClip removes it.
    virtual void SetClip(const TDevRegion& r) = 0;
    virtual void NoClip() = 0;

    // Shapes.
    virtual void FillPath(const TDevPath& path, const TDevBrush& brush, TDevQuality q) = 0;
    virtual void StrokePath(const TDevPath& path, const TDevPen& pen, TDevQuality q) = 0;
    virtual void FillRegion(const TDevRegion& r, const TDevBrush& brush, TDevQuality q) = 0;
    // The pixels of the region within w x h of its edge, in one colour (a GDI frame).
    virtual void FrameRegion(const TDevRegion& r, TColor c, int w, int h) = 0;
    // The region as scan rectangles (device pixels, untransformed), clipped to `bounds`.
    virtual std::vector<TRect> RegionRects(const TDevRegion& r, const TRect& bounds) = 0;
    // One pixel, untransformed, opaque.
    virtual void SetPixel(int x, int y, TColor c) = 0;

    // Text.
    virtual bool HasFontFamily(std::string_view sFamily) = 0;
    // Size of the laid-out text (width of the widest line, height of all lines).
    virtual TDevTextExtent MeasureText(const TDevFont& font, std::string_view sText,
                                       double dWrapWidth) = 0;
    // The glyph outlines of the laid-out text (winding fill), underline included.
    virtual void TextPath(const TDevFont& font, std::string_view sText,
                          const TDevTextLayout& layout, TDevPath& out) = 0;
    // The same layout drawn directly with a solid colour: the fast path for plain text.
    virtual void DrawText(const TDevFont& font, std::string_view sText,
                          const TDevTextLayout& layout, TColor c, int alpha) = 0;

    // Images: the source rectangle of the bitmap (its pixels) into the destination rectangle.
    virtual void DrawImage(const TBitmap& bmp, const TRectF& src, const TRectF& dest,
                           const TDevImageOptions& opt) = 0;
};

// Devices that draw into a TBitmap come from the platform, which installs a factory at start-up
// (the Qt adapters do). The bitmap receives the pixels when the device is destroyed.
using TBitmapDeviceFactory =
    std::function<std::unique_ptr<TGraphicsDevice>(TBitmap& target, double dDpi)>;

void SetBitmapDeviceFactory(TBitmapDeviceFactory fn);
// Null when no factory is installed or the bitmap is empty.
std::unique_ptr<TGraphicsDevice> CreateBitmapDevice(TBitmap& target, double dDpi);

} // namespace ff
