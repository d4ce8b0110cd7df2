// A full redraw of a dense sheet page onto the page bitmap, as the canvas repaints it: 300
// labels, 300 edit fields, 100 boxes, 50 check boxes, 20 images and 20 buttons on a letter
// page. Goal: under 8 ms at 96 DPI. The same page without any text gives the share of text;
// the 300 DPI print-mode run is what one printed page costs; the design run adds the grid.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <string>

#include "model/ClassCSButton.h"
#include "model/ClassCSCheckbox.h"
#include "model/ClassCSField.h"
#include "model/ClassCSImage.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"
#include "rendering/Bitmap.h"
#include "rendering/QtGraphicsDevice.h"
#include "rendering/QtImageCodec.h"

namespace {

using namespace ff;

void Place(TCSObject& o, double x, double y, double w, double h)
{
    o.Points = {{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}};
}

std::unique_ptr<TMemoryStream> Picture(int n)
{
    QImage img(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 3 + n * 20) & 255, (y * 4) & 255, (x + y + n * 7) & 255));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    auto m = std::make_unique<TMemoryStream>();
    m->Assign(std::string_view(bytes.constData(), size_t(bytes.size())));
    return m;
}

// The dense page; bText false leaves every text empty.
std::unique_ptr<TCharacterSheet> DenseSheet(bool bText)
{
    auto sheet = std::make_unique<TCharacterSheet>();
    sheet->GridVisible = false;
    auto& objs = sheet->Pages[0]->Objects;
    auto add = [&](std::unique_ptr<TCSObject> o) {
        o->FFontName = "Verdana";
        objs.push_back(std::move(o));
    };
    // 300 labels, each over its edit field, in 30 rows of 10.
    for (int i = 0; i < 300; ++i) {
        const double x = 0.25 + (i % 10) * 0.8, y = 0.3 + (i / 10) * 0.33;
        auto l = std::make_unique<TCSText>();
        Place(*l, x, y, 0.3, 0.12);
        l->FFontSize = 7;
        l->FText = bText ? "Skill " + std::to_string(i) : "";
        add(std::move(l));
        auto e = std::make_unique<TCSEdit>();
        Place(*e, x, y + 0.13, 0.7, 0.16);
        e->FFontSize = 9;
        e->FText = bText ? std::to_string(i * 7 % 100) + " pts" : "";
        e->FTextAlign = i % 3;
        add(std::move(e));
    }
    for (int i = 0; i < 100; ++i) {
        auto b = std::make_unique<TCSBox>();
        Place(*b, 0.2 + (i % 10) * 0.8, 0.25 + (i / 10) * 1.0, 0.78, 0.98);
        b->FLineWidth = i % 2 ? 0.75 : 1.5;
        b->FisFilled = i % 4 == 0;
        b->FFillColor = 0xF0F8FF;
        add(std::move(b));
    }
    for (int i = 0; i < 50; ++i) {
        auto c = std::make_unique<TCSCheckBox>();
        Place(*c, 0.1 + (i % 25) * 0.33, 10.2 + (i / 25) * 0.2, 0.15, 0.15);
        c->SetChecked(i % 2 == 0);
        add(std::move(c));
    }
    for (int i = 0; i < 20; ++i) {
        auto img = std::make_unique<TCSImage>();
        Place(*img, 0.3 + (i % 10) * 0.8, 0.35 + (i / 10) * 5.0, 0.5, 0.5);
        img->Image = Picture(i);
        img->FImageScalingMode = i % 2 ? CS_IMAGE_BESTFIT : CS_IMAGE_STRETCH;
        add(std::move(img));
    }
    for (int i = 0; i < 20; ++i) {
        auto b = std::make_unique<TCSButton>();
        Place(*b, 0.2 + (i % 10) * 0.8, 10.65 + (i / 10) * 0.15, 0.7, 0.14);
        b->FText = bText ? "Roll " + std::to_string(i) : "";
        b->FFontSize = 7;
        add(std::move(b));
    }
    return sheet;
}

void Redraw(benchmark::State& state, bool bText, int nDpi, bool bPrint, bool bDesign = false)
{
    auto sheet = DenseSheet(bText);
    sheet->PrintMode = bPrint;
    sheet->DesignMode = bDesign;
    sheet->GridVisible = bDesign;
    const int saved = CS_DPI;
    CS_DPI = nDpi;
    sheet->GetPageBitmap(0); // first draw decodes the images and loads the fonts
    for (auto _ : state) {
        auto bmp = sheet->GetPageBitmap(0);
        benchmark::DoNotOptimize(bmp->Pixels.data());
    }
    CS_DPI = saved;
    state.counters["objects"] = double(sheet->Pages[0]->Objects.size());
}

void BM_DensePage96(benchmark::State& state)
{
    Redraw(state, true, 96, false);
}
void BM_DensePage96NoText(benchmark::State& state)
{
    Redraw(state, false, 96, false);
}
void BM_DensePage300Print(benchmark::State& state)
{
    Redraw(state, true, 300, true);
}
// As the designer draws it: grid marks every 1/8 inch, margin frame, highlighted fields.
void BM_DensePage96Design(benchmark::State& state)
{
    Redraw(state, true, 96, false, true);
}

BENCHMARK(BM_DensePage96)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensePage96NoText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensePage300Print)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensePage96Design)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ff::InstallQtImageCodec();
    ff::InstallQtGraphicsDevice();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
