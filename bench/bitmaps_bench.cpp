// Redrawing a dense page of stored images, as the canvas does at every repaint: per image the
// size query and the draw through a fresh TKELDGraphics. Goal: a page of 20 images (photos of
// 640 x 480, drawn into 1.5 x 1 inch boxes at 96 dpi) well under 8 ms. The cold numbers show
// what one decode costs without the image cache.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

#include "rendering/Bitmaps.h"
#include "rendering/ImageCache.h"
#include "rendering/KELDGraphics.h"
#include "rendering/QtGraphicsDevice.h"
#include "rendering/QtImageCodec.h"

namespace {

using namespace ff;

// A photo-like picture: smooth gradients with noise, so JPEG and PNG have real work to do.
TBitmap Photo(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    TBitmap b(w, h);
    b.HasAlpha = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y,
                       MakeArgb(255, (x * 255 / w + rng() % 16) & 255,
                                (y * 255 / h + rng() % 16) & 255, ((x + y + seed * 40) & 255)));
    return b;
}

std::vector<TMemoryStream>& Images()
{
    static std::vector<TMemoryStream> images = [] {
        std::vector<TMemoryStream> v(20);
        for (int i = 0; i < 20; ++i)
            SaveBitmapToStream(Photo(640, 480, i), v[i], i % 2 ? "p.png" : "p.jpg");
        return v;
    }();
    return images;
}

void DrawPage(QImage& page, int nGrayEvery)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    TQtGraphicsDevice dev(painter, 96, 96);
    auto& images = Images();
    for (int i = 0; i < int(images.size()); ++i) {
        int w = 0, h = 0;
        GetBitmapSizeFromStream(images[i], w, h);
        TKELDGraphics g(dev);
        g.UseGP = true;
        const bool gray = nGrayEvery > 0 && i % nGrayEvery == 0;
        if (gray) GraphicsColorMode = 3;
        const int x = 20 + (i % 5) * 155, y = 20 + (i / 5) * 105;
        g.DrawBitmapStream(images[i], {0, 0, w, h}, {x, y, x + 144, y + 96});
        GraphicsColorMode = 0;
    }
}

void BM_PageOf20Images(benchmark::State& state)
{
    QImage page(816, 1056, QImage::Format_ARGB32_Premultiplied);
    DrawPage(page, int(state.range(0))); // warm the cache
    for (auto _ : state) {
        DrawPage(page, int(state.range(0)));
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_PageOf20Images)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_PageOf20ImagesCold(benchmark::State& state)
{
    QImage page(816, 1056, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ImageCache().Clear();
        DrawPage(page, 0);
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_PageOf20ImagesCold)->Unit(benchmark::kMillisecond);

void BM_SizeQueryUncached(benchmark::State& state)
{
    auto& img = Images()[0];
    for (auto _ : state) {
        int w = 0, h = 0;
        GetImageCodec()->ReadSize(img.Bytes(), w, h);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_SizeQueryUncached)->Unit(benchmark::kMicrosecond);

void BM_ResizeBicubic(benchmark::State& state)
{
    const TBitmap src = Photo(640, 480, 1);
    for (auto _ : state) {
        TBitmap out = ResizeBicubic(src, 320, 240);
        benchmark::DoNotOptimize(out.Pixels.data());
    }
}
BENCHMARK(BM_ResizeBicubic)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InstallQtImageCodec();
    InstallQtGraphicsDevice();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
