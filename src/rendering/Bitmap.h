// A plain in-memory image: the pixels every image operation and drawing device exchange.
#pragma once

#include <cstdint>
#include <vector>

#include "support/Types.h"

namespace ff {

// Bitmaps larger than this are refused before any pixel storage is allocated, so a damaged or
// hostile image header cannot make the program reserve gigabytes.
constexpr std::int64_t MaxBitmapPixels = 100'000'000;

// Pixel format: 32-bit 0xAARRGGBB with straight (not premultiplied) alpha, the layout of
// QImage::Format_ARGB32 on every platform.
using TArgb = std::uint32_t;

constexpr TArgb MakeArgb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}
constexpr unsigned ArgbAlpha(TArgb p)
{
    return p >> 24;
}
constexpr unsigned ArgbRed(TArgb p)
{
    return (p >> 16) & 0xFFu;
}
constexpr unsigned ArgbGreen(TArgb p)
{
    return (p >> 8) & 0xFFu;
}
constexpr unsigned ArgbBlue(TArgb p)
{
    return p & 0xFFu;
}

// A sheet colour (0x00BBGGRR) with an alpha value as a pixel, and back (alpha dropped).
constexpr TArgb ColorToArgb(TColor c, unsigned alpha = 255)
{
    return MakeArgb(alpha, ColorRed(c), ColorGreen(c), ColorBlue(c));
}
constexpr TColor ArgbToColor(TArgb p)
{
    return RGBColor(ArgbRed(p), ArgbGreen(p), ArgbBlue(p));
}

// Width x Height pixels, row after row from the top, no padding between rows.
class TBitmap
{
public:
    TBitmap() = default;
    // A bitmap of w x h pixels filled with `fill` (transparent black by default). Sizes that are
    // not positive or exceed MaxBitmapPixels give an empty bitmap.
    TBitmap(int w, int h, TArgb fill = 0);

    int Width = 0;
    int Height = 0;
    std::vector<TArgb> Pixels;
    // Whether the pixels carry meaningful alpha. New bitmaps do; a decoded file only when it was
    // stored with an alpha channel (the colour key of image drawing depends on this).
    bool HasAlpha = true;

    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    // Replaces the content with w x h pixels of `fill`; false (and empty) when the size is refused.
    bool Resize(int w, int h, TArgb fill = 0);

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
    // Unchecked access; callers keep x, y inside the bitmap.
    TArgb Pixel(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
    void SetPixel(int x, int y, TArgb p) { Pixels[static_cast<std::size_t>(y) * Width + x] = p; }
    TArgb* Row(int y) { return Pixels.data() + static_cast<std::size_t>(y) * Width; }
    const TArgb* Row(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width; }
};

// True when a bitmap of w x h pixels may be allocated.
constexpr bool IsAcceptableBitmapSize(std::int64_t w, std::int64_t h)
{
    return w > 0 && h > 0 && w <= MaxBitmapPixels && h <= MaxBitmapPixels &&
           w * h <= MaxBitmapPixels;
}

} // namespace ff
