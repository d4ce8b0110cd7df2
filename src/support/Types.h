// Plain geometry records shared by every subsystem: inches, origin at the page's top-left,
// x to the right, y downward.
#pragma once

namespace ff {

struct TPointF
{
    double X = 0;
    double Y = 0;
    friend bool operator==(const TPointF&, const TPointF&) = default;
};

struct TRectF
{
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    double Width() const { return Right - Left; }
    double Height() const { return Bottom - Top; }
    friend bool operator==(const TRectF&, const TRectF&) = default;
};

struct TPoint
{
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Colours are 0x00BBGGRR: red in the lowest byte.
using TColor = unsigned int;

constexpr TColor RGBColor(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned ColorRed(TColor c) { return c & 0xFF; }
constexpr unsigned ColorGreen(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned ColorBlue(TColor c) { return (c >> 16) & 0xFF; }

} // namespace ff
