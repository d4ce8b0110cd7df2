#include "rendering/GraphicsDevice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ff {

TDevMatrix TDevMatrix::Rotation(double dDegrees)
{
    const double a = dDegrees * std::numbers::pi / 180.0;
    double c = std::cos(a);
    double s = std::sin(a);
    // Exact quarter turns keep axis-aligned rectangles on whole pixels.
    if (std::fmod(dDegrees, 90.0) == 0) {
        c = std::round(c);
        s = std::round(s);
    }
    return {c, s, -s, c, 0, 0};
}

void TDevPath::MoveTo(double x, double y)
{
    Ops.push_back(TOp::MoveTo);
    Points.push_back({x, y});
}

void TDevPath::LineTo(double x, double y)
{
    Ops.push_back(TOp::LineTo);
    Points.push_back({x, y});
}

void TDevPath::CubicTo(TPointF c1, TPointF c2, TPointF p)
{
    Ops.push_back(TOp::CubicTo);
    Points.push_back(c1);
    Points.push_back(c2);
    Points.push_back(p);
}

void TDevPath::Close()
{
    Ops.push_back(TOp::Close);
}

void TDevPath::AddPolygon(const TPoint* pts, std::size_t n)
{
    if (n == 0) return;
    AddPolyline(pts, n);
    Close();
}

void TDevPath::AddPolyline(const TPoint* pts, std::size_t n)
{
    if (n == 0) return;
    MoveTo(pts[0].X, pts[0].Y);
    for (std::size_t i = 1; i < n; ++i)
        LineTo(pts[i].X, pts[i].Y);
}

void TDevPath::AddRect(const TRectF& r)
{
    MoveTo(r.Left, r.Top);
    LineTo(r.Right, r.Top);
    LineTo(r.Right, r.Bottom);
    LineTo(r.Left, r.Bottom);
    Close();
}

namespace {

// One cubic segment of the unit-circle arc from a0 to a1 (radians, |a1 - a0| <= pi/2), mapped
// onto the ellipse with centre (cx, cy) and radii (rx, ry).
void ArcSegment(TDevPath& p, double cx, double cy, double rx, double ry, double a0, double a1)
{
    const double k = 4.0 / 3.0 * std::tan((a1 - a0) / 4.0);
    const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
    TPointF b1{cx + rx * (c0 - k * s0), cy + ry * (s0 + k * c0)};
    TPointF b2{cx + rx * (c1 + k * s1), cy + ry * (s1 - k * c1)};
    TPointF e{cx + rx * c1, cy + ry * s1};
    p.CubicTo(b1, b2, e);
}

} // namespace

void TDevPath::AddEllipse(const TRectF& r)
{
    const double cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const double rx = r.Width() / 2, ry = r.Height() / 2;
    MoveTo(cx + rx, cy);
    for (int i = 0; i < 4; ++i)
        ArcSegment(*this, cx, cy, rx, ry, i * std::numbers::pi / 2, (i + 1) * std::numbers::pi / 2);
    Close();
}

void TDevPath::AddArc(const TRectF& r, double dStart, double dSweep)
{
    const double cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    const double rx = r.Width() / 2, ry = r.Height() / 2;
    dSweep = std::clamp(dSweep, -360.0, 360.0);
    const double a0 = dStart * std::numbers::pi / 180.0;
    const double total = dSweep * std::numbers::pi / 180.0;
    const int n =
        std::max(1, static_cast<int>(std::ceil(std::abs(total) / (std::numbers::pi / 2))));
    MoveTo(cx + rx * std::cos(a0), cy + ry * std::sin(a0));
    for (int i = 0; i < n; ++i)
        ArcSegment(*this, cx, cy, rx, ry, a0 + total * i / n, a0 + total * (i + 1) / n);
}

void TDevPath::AddCurve(const TPoint* pts, std::size_t n, double dTension)
{
    if (n == 0) return;
    MoveTo(pts[0].X, pts[0].Y);
    if (n == 1) return;
    // Cardinal spline as cubic segments: the tangent at each point is the chord of its
    // neighbours scaled by tension / 3.
    const double k = dTension / 3.0;
    auto at = [&](std::ptrdiff_t i) {
        i = std::clamp<std::ptrdiff_t>(i, 0, static_cast<std::ptrdiff_t>(n) - 1);
        return TPointF{double(pts[i].X), double(pts[i].Y)};
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const auto p0 = at(std::ptrdiff_t(i) - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        TPointF c1{p1.X + k * (p2.X - p0.X), p1.Y + k * (p2.Y - p0.Y)};
        TPointF c2{p2.X - k * (p3.X - p1.X), p2.Y - k * (p3.Y - p1.Y)};
        CubicTo(c1, c2, p2);
    }
}

void TDevPath::Append(const TDevPath& other)
{
    Ops.insert(Ops.end(), other.Ops.begin(), other.Ops.end());
    Points.insert(Points.end(), other.Points.begin(), other.Points.end());
}

void TDevPath::Transform(const TDevMatrix& m)
{
    for (auto& p : Points)
        p = m.Map(p);
}

TRectF TDevPath::Bounds() const
{
    if (Points.empty()) return {};
    TRectF r{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
    for (const auto& p : Points) {
        r.Left = std::min(r.Left, p.X);
        r.Top = std::min(r.Top, p.Y);
        r.Right = std::max(r.Right, p.X);
        r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
}

TColorMatrix TColorMatrix::Grayscale()
{
    TColorMatrix m;
    for (int out = 0; out < 3; ++out) {
        m.M[0][out] = 0.299f;
        m.M[1][out] = 0.587f;
        m.M[2][out] = 0.114f;
    }
    return m;
}

TColorMatrix TColorMatrix::Sepia()
{
    TColorMatrix m;
    const float w[3][3] = {
        {0.393f, 0.769f, 0.189f}, {0.349f, 0.686f, 0.168f}, {0.272f, 0.534f, 0.131f}};
    // Row vectors: input channel i contributes M[i][out] to output channel out.
    for (int out = 0; out < 3; ++out)
        for (int in = 0; in < 3; ++in)
            m.M[in][out] = w[out][in];
    return m;
}

bool TColorMatrix::IsIdentity() const
{
    return *this == TColorMatrix{};
}

TArgb TColorMatrix::Apply(TArgb p) const
{
    const float in[5] = {ArgbRed(p) / 255.0f, ArgbGreen(p) / 255.0f, ArgbBlue(p) / 255.0f,
                         ArgbAlpha(p) / 255.0f, 1.0f};
    unsigned out[4];
    for (int c = 0; c < 4; ++c) {
        float v = 0;
        for (int i = 0; i < 5; ++i)
            v += in[i] * M[i][c];
        out[c] = static_cast<unsigned>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    }
    return MakeArgb(out[3], out[0], out[1], out[2]);
}

namespace {
TBitmapDeviceFactory& Factory()
{
    static TBitmapDeviceFactory fn;
    return fn;
}
} // namespace

void SetBitmapDeviceFactory(TBitmapDeviceFactory fn)
{
    Factory() = std::move(fn);
}

std::unique_ptr<TGraphicsDevice> CreateBitmapDevice(TBitmap& target, double dDpi)
{
    if (!Factory() || target.IsEmpty()) return nullptr;
    return Factory()(target, dDpi);
}

} // namespace ff
