// The image drawing operations of TKELDGraphics: stored images (decoded through the image
// cache) and in-memory bitmaps onto the device.
#include <algorithm>
#include <chrono>

#include "persistence/ByteStream.h"
#include "rendering/Bitmaps.h"
#include "rendering/ImageCache.h"
#include "rendering/KELDGraphics.h"

namespace ff {

namespace {

constexpr TRect WholeImage{-1, -1, -1, -1};

TRect ResolveSource(const TRect& src, int w, int h)
{
    return src == WholeImage ? TRect{0, 0, w, h} : src;
}

TRect ResolveDest(const TRect& dest, int w, int h)
{
    return dest == WholeImage ? TRect{0, 0, w, h} : dest;
}

TRectF ToF(const TRect& r)
{
    return {double(r.Left), double(r.Top), double(r.Right), double(r.Bottom)};
}

TImageTint TintForMode(int nMode)
{
    if (nMode == 2 || nMode == 3) return TImageTint::Grayscale;
    if (nMode == 4) return TImageTint::Sepia;
    return TImageTint::None;
}

TColorMatrix MatrixForMode(int nMode)
{
    switch (TintForMode(nMode)) {
    case TImageTint::Grayscale:
        return TColorMatrix::Grayscale();
    case TImageTint::Sepia:
        return TColorMatrix::Sepia();
    default:
        return TColorMatrix::Identity();
    }
}

double ElapsedMs(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Rotates the device about the centre of dest by -dRotation degrees and moves dest to be
// centred on the origin of the rotated system.
void RotateAboutCentre(TGraphicsDevice& dev, TRect& dest, double dRotation)
{
    const int cx = (dest.Left + dest.Right) / 2;
    const int cy = (dest.Top + dest.Bottom) / 2;
    dest = {dest.Left - cx, dest.Top - cy, dest.Right - cx, dest.Bottom - cy};
    dev.SetTransform(TDevMatrix::Rotation(-dRotation)
                         .Then(TDevMatrix::Translation(cx, cy))
                         .Then(dev.Transform()));
}

bool Drawable(const TRect& src, const TRect& dest)
{
    return src.Width() > 0 && src.Height() > 0 && dest.Width() > 0 && dest.Height() > 0;
}

} // namespace

void TKELDGraphics::DrawBitmapStream(TStream& m, const TRect& src, const TRect& dest)
{
    if (UseGP || GraphicsQuality > 1 || GraphicsColorMode != 0)
        DrawBitmapStreamGP(m, src, dest);
    else
        AlphaBlt(m, dest);
}

void TKELDGraphics::DrawBitmapStreamGP(TStream& m, const TRect& src, const TRect& dest)
{
    const auto t0 = std::chrono::steady_clock::now();
    TGraphicsDevice* dev = DeviceGP();
    if (!dev) return;
    std::string holder;
    const std::string_view bytes = StreamContent(m, holder);
    const std::shared_ptr<const TBitmap> img =
        ImageCache().Variant(bytes, TintForMode(GraphicsColorMode), ClearFill);
    const int alpha = std::clamp(Alpha, 0, 255);
    if (img && alpha > 0) {
        const TRect s = ResolveSource(src, img->Width, img->Height);
        // The conventions are resolved before rotating, so a rotated image of its own size
        // turns about its own centre.
        TRect d = ResolveDest(dest, img->Width, img->Height);
        if (Drawable(s, d)) {
            dev->Save();
            if (Rotation != 0) RotateAboutCentre(*dev, d, Rotation);
            TDevImageOptions opt;
            opt.Smooth = false;
            opt.Opacity = alpha / 255.0;
            dev->DrawImage(*img, ToF(s), ToF(d), opt);
            dev->Restore();
        }
    }
    BitmapDrawTimeTotal += ElapsedMs(t0);
}

double TKELDGraphics::AlphaBlt(TStream& s, const TRect& dest)
{
    TGraphicsDevice* dev = DeviceGDI();
    if (!dev) return 0;
    const auto t0 = std::chrono::steady_clock::now();
    std::string holder;
    const std::shared_ptr<const TBitmap> img = ImageCache().Decoded(StreamContent(s, holder));
    const double ms = ElapsedMs(t0);
    const int alpha = std::clamp(Alpha, 0, 255);
    if (!img || alpha == 0) return ms;
    const TRect whole{0, 0, img->Width, img->Height};
    TRect d = dest;
    if (!Drawable(whole, d)) return ms;
    dev->Save();
    if (Rotation != 0) RotateAboutCentre(*dev, d, Rotation);
    TDevImageOptions opt;
    opt.Smooth = false;
    opt.Opacity = alpha / 255.0;
    dev->DrawImage(*img, ToF(whole), ToF(d), opt);
    dev->Restore();
    return ms;
}

void TKELDGraphics::DrawBitmap(const TBitmap& bmp, int xDest, int yDest)
{
    TGraphicsDevice* dev = DeviceGP();
    if (!dev || bmp.IsEmpty()) return;
    const TRect whole{0, 0, bmp.Width, bmp.Height};
    dev->DrawImage(bmp, ToF(whole), ToF({xDest, yDest, xDest + bmp.Width, yDest + bmp.Height}),
                   TDevImageOptions{});
}

void TKELDGraphics::DrawBitmap(const TBitmap& bmp, const TRect& src, const TRect& dest)
{
    TGraphicsDevice* dev = DeviceGP();
    const int alpha = std::clamp(Alpha, 0, 255);
    if (!dev || bmp.IsEmpty() || alpha == 0) return;
    const TRect s = ResolveSource(src, bmp.Width, bmp.Height);
    TRect d = ResolveDest(dest, bmp.Width, bmp.Height);
    if (!Drawable(s, d)) return;
    const TColorMatrix matrix = MatrixForMode(GraphicsColorMode);
    dev->Save();
    if (Rotation != 0) RotateAboutCentre(*dev, d, Rotation);
    TDevImageOptions opt;
    opt.Smooth = false;
    opt.Opacity = alpha / 255.0;
    opt.Matrix = &matrix;
    if (ClearFill) {
        // An in-memory bitmap is keyed by its bottom-left pixel, whatever its format.
        opt.UseColorKey = true;
        opt.ColorKey = ArgbToColor(bmp.Pixel(0, bmp.Height - 1));
    }
    dev->DrawImage(bmp, ToF(s), ToF(d), opt);
    dev->Restore();
}

std::unique_ptr<TBitmap> TKELDGraphics::LoadFillPattern(const std::string& sFile)
{
    TMemoryStream m;
    if (!m.LoadFromFile(sFile)) return nullptr;
    return LoadFillPatternStream(m);
}

std::unique_ptr<TBitmap> TKELDGraphics::LoadFillPatternStream(TStream& s)
{
    TImageCodec* codec = GetImageCodec();
    std::string holder;
    auto bmp = std::make_unique<TBitmap>();
    if (!codec || !codec->Decode(StreamContent(s, holder), *bmp) || bmp->IsEmpty()) return nullptr;
    FillPattern = bmp.get();
    return bmp;
}

} // namespace ff
