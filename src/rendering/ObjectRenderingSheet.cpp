// Drawing of a whole page: white background, grid marks and margin frame, the page's objects
// in stacking order, and one page as a bitmap.
#include <cmath>

#include "model/ClassCharSheet.h"
#include "rendering/Bitmap.h"
#include "rendering/ObjectRendering.h"
#include "support/Numbers.h"

namespace ff {

using namespace render;

namespace {

int Round(double v)
{
    return static_cast<int>(RoundHalfEven(v));
}

constexpr TColor GridColor = 0xFFC000;

} // namespace

void TCharacterSheet::Draw(TGraphicsDevice& Canvas)
{
    DrawBackground(Canvas);
    TCharacterSheetPage* page = GetCurrentPage();
    if (!page) return;
    TCSDrawParams dparams;
    dparams.Scale = 0;
    dparams.HighlightColor = HighlightColor;
    dparams.DesignMode = DesignMode;
    dparams.ShowFields = ShowFields;
    dparams.PrintMode = PrintMode;
    for (const auto& o : page->Objects)
        if (o->FVisible || DesignMode) o->Draw(Canvas, dparams);
    if (ActiveDrawingObject) ActiveDrawingObject->Draw(Canvas, dparams);
}

void TCharacterSheet::DrawBackground(TGraphicsDevice& Canvas)
{
    TCSDrawParams dparams;
    dparams.PrintMode = PrintMode;
    const double d = DeviceScale(Canvas, dparams);
    TKELDGraphics g(Canvas);
    g.PenColor = 0xFFFFFF;
    g.BrushColor = 0xFFFFFF;
    g.Rectangle(0, 0, Round(d * Width) - 1, Round(d * Height) - 1);
    if (!GridVisible) return;

    g.PenColor = GridColor;
    g.BrushColor = GridColor;
    // No marks for a grid size that is not positive (the loop would never end), finer than a
    // device pixel (the marks would cover the page) or giving millions of marks.
    if (GridSize > 0 && GridSize * d >= 1 && (Width / GridSize) * (Height / GridSize) < 4e6) {
        for (int i = 1; i * GridSize < Width; ++i) {
            const int X = Round(d * (i * GridSize));
            for (int j = 1; j * GridSize < Height; ++j) {
                const int Y = Round(d * (j * GridSize));
                g.Rectangle(X, Y, X + 1, Y);
            }
        }
    }
    g.PenStyle = psDot;
    const int m = Round(d * MarginSize);
    const int r = Round(d * (Width - MarginSize));
    const int b = Round(d * (Height - MarginSize));
    g.MoveTo(m, m);
    g.LineTo(r, m);
    g.LineTo(r, b);
    g.LineTo(m, b);
    g.LineTo(m, m);
}

std::unique_ptr<TBitmap> TCharacterSheet::GetPageBitmap(int nPage)
{
    if (nPage < 0 || nPage >= static_cast<int>(Pages.size())) return nullptr;
    const double w = RoundHalfEven(Width * CS_DPI), h = RoundHalfEven(Height * CS_DPI);
    if (!(w > 0 && h > 0 && w * h <= double(MaxBitmapPixels))) return nullptr;
    auto bmp = std::make_unique<TBitmap>(static_cast<int>(w), static_cast<int>(h),
                                         MakeArgb(255, 255, 255, 255));
    const int nSaved = CurrentPage;
    CurrentPage = nPage;
    bool bDrawn = false;
    if (auto dev = CreateBitmapDevice(*bmp, CS_DPI)) {
        Draw(*dev);
        bDrawn = true;
    }
    CurrentPage = nSaved;
    // Without a drawing device there is no picture to hand out.
    if (!bDrawn) return nullptr;
    return bmp;
}

} // namespace ff
