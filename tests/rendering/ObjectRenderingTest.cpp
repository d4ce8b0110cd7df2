// What each object kind and the page hand to the drawing device, checked through the
// recording device: scale, geometry, highlight rules, label resizing, handles, background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "RecordingDevice.h"
#include "model/ClassCSButton.h"
#include "model/ClassCSCheckbox.h"
#include "model/ClassCSField.h"
#include "model/ClassCSImage.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"
#include "rendering/Bitmap.h"
#include "rendering/KELDGraphics.h"
#include "support/Numbers.h"

namespace ff {
namespace {

using test::TRecord;
using test::TRecordingDevice;
using K = TRecord::TKind;

// Sets a box-like object's four corners from pixel values at 96 DPI.
void SetBoxPx(TCSObject& o, double x0, double y0, double x2, double y2)
{
    o.Points = {{x0 / 96, y0 / 96}, {x0 / 96, y2 / 96}, {x2 / 96, y2 / 96}, {x2 / 96, y0 / 96}};
}

class ObjectRenderingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CS_DPI = 96;
        GraphicsQuality = 1;
        GraphicsColorMode = 0;
    }
    void TearDown() override
    {
        CS_DPI = 96;
        DecimalSeparator = '.';
    }
    TRecordingDevice dev;
    TCSDrawParams print; // a viewer or printer without highlighting
    TCSDrawParams design{0, 0xBFBFFF, true, false, false};
};

TRectF Bounds(const TRecord* r)
{
    return r->Path.Bounds();
}

TEST_F(ObjectRenderingTest, LinesNeedTwoPointsAndOrthogonalLinesSnap)
{
    TCSLine one;
    one.Points = {{0.5, 0.5}};
    one.Draw(dev, design);
    EXPECT_TRUE(dev.Records.empty());

    struct TCase
    {
        TPointF End;
        TRectF Drawn;
    };
    const TCase cases[] = {{{3.0 / 96, 2.0 / 96}, {0, 0, 3, 0}},
                           {{2.0 / 96, 2.0 / 96}, {0, 0, 0, 2}}};
    for (const auto& c : cases) {
        dev.Clear();
        TCSOrthLine l;
        l.Points = {{0, 0}, c.End};
        l.Draw(dev, design);
        const auto s = dev.Of(K::Stroke);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(Bounds(s[0]), c.Drawn);
    }
}

TEST_F(ObjectRenderingTest, LineWidthAndPositionScaleWithTheDevice)
{
    TCSLine l;
    l.Points = {{1, 1}, {2, 1.5}};
    l.FLineWidth = 1.5;
    l.FLineColor = 0x0000FF;
    l.Draw(dev, design);
    auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Bounds(s[0]), (TRectF{96, 96, 192, 144}));
    EXPECT_EQ(s[0]->Pen.Width, 2);
    EXPECT_EQ(s[0]->Pen.Color, 0x0000FFu);
    EXPECT_EQ(s[0]->Pen.Join, TDevJoin::Round);
    EXPECT_EQ(s[0]->Pen.Cap, TDevCap::Round);

    // On a printer the device's resolution counts, not CS_DPI.
    dev.Clear();
    dev.Dpi = 300;
    TCSDrawParams printer;
    printer.PrintMode = true;
    l.Draw(dev, printer);
    s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Bounds(s[0]), (TRectF{300, 300, 600, 450}));
    EXPECT_DOUBLE_EQ(s[0]->Pen.Width, float(1.5 / 72 * 300));

    // A 0.75-point line is one screen pixel: the plain device-context back end.
    dev.Clear();
    l.FLineWidth = 0.75;
    l.Draw(dev, design);
    EXPECT_EQ(dev.Of(K::Stroke)[0]->Quality, TDevQuality::GdiAliased);
}

TEST_F(ObjectRenderingTest, BoxIsMitredAndFilledOnlyWhenAsked)
{
    TCSBox b;
    SetBoxPx(b, 10, 20, 110, 70);
    b.FLineWidth = 2;
    b.FFillColor = 0x00FF00;
    b.Draw(dev, design);
    EXPECT_TRUE(dev.Of(K::Fill).empty());
    auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0]->Pen.Join, TDevJoin::Miter);
    EXPECT_EQ(Bounds(s[0]), (TRectF{10, 20, 110, 70}));

    dev.Clear();
    b.FisFilled = true;
    b.Draw(dev, design);
    ASSERT_EQ(dev.Of(K::Fill).size(), 1u);
    EXPECT_EQ(dev.Of(K::Fill)[0]->Brush.Color, 0x00FF00u);
}

TEST_F(ObjectRenderingTest, LabelTakesTheSizeOfItsMeasuredText)
{
    TCSText t;
    t.Points = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
    t.FText = "abcd";
    t.FFontName = "Verdana";
    t.FFontSize = 12; // 16 px at 96 DPI: 4 characters of 8 px, a line of 20 px
    t.FFillColor = 0x0000FF;
    t.Draw(dev, print);
    EXPECT_EQ(t.Points[1], (TPointF{1, 1 + 20.0 / 96}));
    EXPECT_EQ(t.Points[2], (TPointF{1 + 32.0 / 96, 1 + 20.0 / 96}));
    EXPECT_EQ(t.Points[3], (TPointF{1 + 32.0 / 96, 1}));
    const auto txt = dev.Of(K::Text);
    ASSERT_EQ(txt.size(), 1u);
    EXPECT_EQ(txt[0]->Color, 0x0000FFu); // labels are written in their fill colour
    EXPECT_EQ(txt[0]->Layout.Box, (TRectF{96, 96, 96 + 32 + 100, 96 + 20}));
    EXPECT_EQ(txt[0]->Layout.Align, TDevAlign::Near);
    EXPECT_EQ(txt[0]->Font.PixelSize, 16);
    EXPECT_EQ(GraphicsQuality, 1);

    t.FText = "abcdefgh";
    t.Draw(dev, print);
    EXPECT_EQ(t.Points[2].X, 1 + 64.0 / 96);

    // Measured on a printer, the size comes from the printer's resolution.
    dev.Dpi = 300;
    TCSDrawParams printer;
    printer.PrintMode = true;
    t.Draw(dev, printer);
    EXPECT_DOUBLE_EQ(t.Points[2].X, 1 + std::trunc(8 * 0.5 * 12 / 72.0 * 300) / 300);

    // Without a positive resolution the label keeps its points instead of taking infinite or
    // inverted ones.
    struct TCase
    {
        int ScreenDpi;
        double DeviceDpi;
        bool Print;
    };
    const TCase cases[] = {{0, 96, false}, {-96, 96, false}, {96, 0, true}};
    for (const auto& c : cases) {
        CS_DPI = c.ScreenDpi;
        dev.Dpi = c.DeviceDpi;
        TCSDrawParams params;
        params.PrintMode = c.Print;
        const std::vector<TPointF> before = t.Points;
        t.Draw(dev, params);
        EXPECT_EQ(t.Points, before) << c.ScreenDpi << " " << c.DeviceDpi;
    }
}

TEST_F(ObjectRenderingTest, NumericFieldsShowZeroForText)
{
    struct TCase
    {
        const char* Text;
        char Separator;
        const char* Shown;
    };
    const TCase cases[] = {
        {"abc", '.', "0"}, {"1,5", ',', "1,5"}, {"1,5", '.', "0"}, {"", '.', "0"}};
    for (const auto& c : cases) {
        DecimalSeparator = c.Separator;
        for (int kind : {CS_LABEL, CS_EDIT}) {
            dev.Clear();
            auto o = NewCSObject(kind);
            SetBoxPx(*o, 0, 0, 100, 30);
            o->FisNumeric = true;
            o->FText = c.Text;
            o->Draw(dev, print);
            const auto t = dev.Of(K::Text);
            ASSERT_EQ(t.size(), 1u);
            EXPECT_EQ(t[0]->Text, c.Shown) << c.Text << " kind " << kind;
        }
    }
}

TEST_F(ObjectRenderingTest, EditFieldBandCoversWholeTextLines)
{
    struct TCase
    {
        double FontPt;
        bool Single;
        int Band;         // 0: no highlight
        double Y2 = 40.0; // 30 px high; below P0 the band runs upwards
    };
    const TCase cases[] = {{9, false, 32}, {9, true, 16},        {30, false, 0},
                           {30, true, 44}, {9, false, -32, -20}, {9, true, 16, -20}};
    for (const auto& c : cases) {
        dev.Clear();
        TCSEdit e;
        SetBoxPx(e, 10, 10, 110, c.Y2);
        e.FFontSize = c.FontPt;
        e.FSingleLine = c.Single;
        e.FText = "x";
        e.FTextAlign = CS_ALIGN_RIGHT;
        e.Draw(dev, design);
        const auto f = dev.Of(K::Fill);
        if (c.Band == 0) {
            EXPECT_TRUE(f.empty()) << c.FontPt;
        } else {
            ASSERT_EQ(f.size(), 1u) << c.FontPt;
            EXPECT_EQ(Bounds(f[0]), (TRectF{10, std::min(10.0, 10.0 + c.Band), 110,
                                            std::max(10.0, 10.0 + c.Band)}))
                << c.FontPt << " " << c.Y2;
            EXPECT_EQ(f[0]->Brush.Color, 0xBFBFFFu);
        }
        const auto t = dev.Of(K::Text);
        ASSERT_EQ(t.size(), 1u);
        EXPECT_EQ(t[0]->Layout.Box, (TRectF{10, 10, 110, c.Y2}));
        EXPECT_EQ(t[0]->Layout.Align, TDevAlign::Far);
    }
}

TEST_F(ObjectRenderingTest, HighlightDependsOnModeKindAndEditability)
{
    TCSDrawParams showFields{0, 0xBFBFFF, false, true, true};
    struct TCase
    {
        const char* Name;
        int Kind;
        bool ReadOnly;
        const TCSDrawParams* Params;
        bool Highlighted;
    };
    const TCase cases[] = {
        {"edit, print", CS_EDIT, false, &print, false},
        {"check box, print", CS_CHECKBOX, false, &print, false},
        {"image select, print", CS_IMAGESELECT, false, &print, false},
        {"edit, show fields", CS_EDIT, false, &showFields, true},
        {"read-only edit, show fields", CS_EDIT, true, &showFields, false},
        {"read-only check box, show fields", CS_CHECKBOX, true, &showFields, true},
        {"read-only image select, show fields", CS_IMAGESELECT, true, &showFields, true},
        {"read-only edit, design", CS_EDIT, true, &design, true},
    };
    for (const auto& c : cases) {
        dev.Clear();
        auto o = NewCSObject(c.Kind);
        SetBoxPx(*o, 0, 0, 40, 40);
        o->FReadOnly = c.ReadOnly;
        o->Draw(dev, *c.Params);
        bool highlighted = false;
        for (const TRecord* r : dev.Of(K::Fill))
            highlighted |= r->Brush.Color == 0xBFBFFF;
        EXPECT_EQ(highlighted, c.Highlighted) << c.Name;
    }
}

TEST_F(ObjectRenderingTest, CheckBoxIsSquaredAtP0WithItsCross)
{
    TCSCheckBox cb;
    SetBoxPx(cb, 10, 10, 40, 30); // 30 x 20
    cb.Draw(dev, print);
    auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Bounds(s[0]), (TRectF{10, 10, 30, 30}));
    EXPECT_EQ(s[0]->Pen.Join, TDevJoin::Miter);
    EXPECT_EQ(cb.Points[2], (TPointF{40.0 / 96, 30.0 / 96})); // own points unchanged

    dev.Clear();
    cb.SetChecked(true);
    cb.Draw(dev, print);
    s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(Bounds(s[1]), (TRectF{12, 12, 28, 28}));
    EXPECT_EQ(s[2]->Path.Points[0], (TPointF{12, 28}));
    EXPECT_EQ(s[2]->Path.Points[1], (TPointF{28, 12}));
}

TEST_F(ObjectRenderingTest, ButtonFrameGradientsAndCentredText)
{
    for (int state : {CS_BUTTONSTATE_UP, CS_BUTTONSTATE_DOWN, CS_BUTTONSTATE_HOVER}) {
        dev.Clear();
        TCSButton b;
        SetBoxPx(b, 0, 0, 100, 40);
        b.FButtonState = state;
        b.FLineColor = 0x0000FF; // not used
        b.FText = "Roll";
        b.Draw(dev, print);
        const auto s = dev.Of(K::Stroke);
        ASSERT_EQ(s.size(), 4u);
        EXPECT_EQ(s[0]->Pen.Color, 0x707070u);
        EXPECT_EQ(Bounds(s[0]), (TRectF{0, 1, 0, 39})); // corner pixels stay open
        const auto f = dev.Of(K::Fill);
        ASSERT_EQ(f.size(), 2u);
        const bool down = state == CS_BUTTONSTATE_DOWN;
        EXPECT_EQ(f[0]->Brush.Kind, TDevBrush::TKind::LinearGradient);
        EXPECT_EQ(f[0]->Brush.Color, down ? 0xDFDFDFu : 0xF2F2F2u);
        EXPECT_EQ(f[0]->Brush.Color2, down ? 0xCFCFCFu : 0xEAEAEAu);
        EXPECT_EQ(f[0]->Brush.P1, (TPointF{50, 0}));
        EXPECT_EQ(f[0]->Brush.P2, (TPointF{50, 20}));
        EXPECT_EQ(f[1]->Brush.Color, down ? 0xF2F2F2u : 0xDFDFDFu);
        EXPECT_EQ(Bounds(f[1]), (TRectF{2, 20, 98, 38}));
        const auto t = dev.Of(K::Text);
        ASSERT_EQ(t.size(), 1u);
        EXPECT_EQ(t[0]->Color, 0u);
        // 4 characters of 6.67 px: 26 x 16 measured, centred.
        EXPECT_EQ(t[0]->Layout.Box.Left, (100 - 26) / 2);
        EXPECT_EQ(t[0]->Layout.Box.Top, (40 - 16) / 2);
    }
}

TEST_F(ObjectRenderingTest, ImageSelectNormalisesAndPromptsWithoutImage)
{
    TCSImageSelect s;
    s.Points = {{0, 0}, {0.1, 0.9}, {1, 1}, {0.9, 0.1}};
    s.FLineWidth = 0.75;
    GraphicsQuality = 3;
    s.Draw(dev, print);
    EXPECT_EQ(s.Points[1], (TPointF{0, 1}));
    EXPECT_EQ(s.Points[3], (TPointF{1, 0}));
    const auto t = dev.Of(K::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Text, CS_IMAGE_PROMPT);
    EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);
    EXPECT_EQ(Bounds(dev.Of(K::Stroke)[0]), (TRectF{0, 0, 96, 96}));
    EXPECT_EQ(GraphicsQuality, 3);

    // An image without decodable content draws no image and no prompt.
    dev.Clear();
    s.Image = std::make_unique<TMemoryStream>();
    s.Image->Assign("not an image");
    s.Draw(dev, print);
    EXPECT_TRUE(dev.Of(K::Text).empty());
    EXPECT_TRUE(dev.Of(K::Image).empty());
    EXPECT_EQ(GraphicsQuality, 3);
}

TEST_F(ObjectRenderingTest, HandlesUseTheSelectedOrLockedColour)
{
    for (bool locked : {false, true}) {
        dev.Clear();
        TCSBox b;
        SetBoxPx(b, 10, 10, 50, 50);
        b.FSelected = true;
        b.FLocked = locked;
        b.Draw(dev, design);
        const auto s = dev.Of(K::Stroke);
        ASSERT_EQ(s.size(), 5u);
        for (int i = 1; i < 5; ++i) {
            EXPECT_EQ(s[i]->Pen.Color, locked ? CSLockedHandleColor : CSSelectedHandleColor);
            EXPECT_EQ(Bounds(s[i]).Width(), 4);
        }
        EXPECT_EQ(Bounds(s[3]), (TRectF{48, 48, 52, 52}));
    }
    // A selected label keeps visible handles and adds a dashed outline.
    dev.Clear();
    TCSText t;
    t.Points = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
    t.FText = "ab";
    t.FSelected = true;
    t.Draw(dev, design);
    const auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0]->Pen.Dash, TDevDash::Solid);
    EXPECT_EQ(s[4]->Pen.Dash, TDevDash::Dash);
}

TEST_F(ObjectRenderingTest, PageDrawsHiddenObjectsOnlyInDesignAndTheDrawingObjectLast)
{
    TCharacterSheet sheet;
    sheet.GridVisible = false;
    auto box = std::make_unique<TCSBox>();
    SetBoxPx(*box, 10, 10, 20, 20);
    box->FVisible = false;
    sheet.Pages[0]->Objects.push_back(std::move(box));
    auto line = std::make_unique<TCSLine>();
    line->Points = {{0, 0}, {1, 1}};
    sheet.ActiveDrawingObject = std::move(line);

    sheet.DesignMode = false;
    sheet.Draw(dev);
    auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 2u); // page background, the line being drawn
    EXPECT_EQ(Bounds(s[1]), (TRectF{0, 0, 96, 96}));

    dev.Clear();
    sheet.DesignMode = true;
    sheet.Draw(dev);
    s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(Bounds(s[1]), (TRectF{10, 10, 20, 20}));
    EXPECT_EQ(Bounds(s[2]), (TRectF{0, 0, 96, 96}));

    dev.Clear();
    sheet.CurrentPage = 5; // no current page: background only
    sheet.Draw(dev);
    EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);
}

TEST_F(ObjectRenderingTest, BackgroundGridMarksAndMarginFrame)
{
    TCharacterSheet sheet;
    sheet.Width = 1;
    sheet.Height = 0.5;
    sheet.GridSize = 0.25;
    sheet.MarginSize = 0.125;
    sheet.GridVisible = true;
    sheet.DrawBackground(dev);
    const auto s = dev.Of(K::Stroke);
    // White page, 3 x 1 marks (none on the left and top edges, none at the far edges), and the
    // four sides of the margin frame.
    ASSERT_EQ(s.size(), 1u + 3u + 4u);
    EXPECT_EQ(Bounds(s[0]), (TRectF{0, 0, 95, 47}));
    EXPECT_EQ(s[0]->Pen.Color, 0xFFFFFFu);
    EXPECT_EQ(Bounds(s[1]), (TRectF{24, 24, 25, 24}));
    EXPECT_EQ(Bounds(s[3]), (TRectF{72, 24, 73, 24}));
    EXPECT_EQ(s[3]->Pen.Color, 0xFFC000u);
    EXPECT_EQ(s[4]->Pen.Dash, TDevDash::Dot);
    EXPECT_EQ(Bounds(s[4]), (TRectF{12, 12, 84, 12}));
    EXPECT_EQ(Bounds(s[5]), (TRectF{84, 12, 84, 36}));

    for (double grid : {0.0, -1.0}) {
        dev.Clear();
        sheet.GridSize = grid;
        sheet.DrawBackground(dev);
        EXPECT_EQ(dev.Of(K::Stroke).size(), 1u + 4u) << grid; // no marks, the frame stays
    }
    dev.Clear();
    sheet.GridVisible = false;
    sheet.DrawBackground(dev);
    EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);
}

TEST_F(ObjectRenderingTest, PageBitmapRangeAndCurrentPage)
{
    TCharacterSheet sheet;
    sheet.NewPage();
    sheet.CurrentPage = 1;
    EXPECT_EQ(sheet.GetPageBitmap(-1), nullptr);
    EXPECT_EQ(sheet.GetPageBitmap(2), nullptr);

    int drawnPage = -1;
    TRecordingDevice* made = nullptr;
    SetBitmapDeviceFactory([&](TBitmap& target, double dpi) -> std::unique_ptr<TGraphicsDevice> {
        auto d = std::make_unique<TRecordingDevice>();
        d->Dpi = dpi;
        EXPECT_EQ(target.Width, 8 * 50);
        EXPECT_EQ(target.Height, 11 * 50);
        drawnPage = sheet.CurrentPage;
        made = d.get();
        return d;
    });
    sheet.Width = 8;
    CS_DPI = 50;
    auto bmp = sheet.GetPageBitmap(0);
    SetBitmapDeviceFactory(nullptr);
    ASSERT_NE(bmp, nullptr);
    EXPECT_NE(made, nullptr);
    EXPECT_EQ(drawnPage, 0);
    EXPECT_EQ(sheet.CurrentPage, 1);
    // Without a device there is nothing to draw with.
    EXPECT_EQ(sheet.GetPageBitmap(0), nullptr);
}

TEST_F(ObjectRenderingTest, DrawingPutsQualityAndColourModeBack)
{
    GraphicsQuality = 3;
    GraphicsColorMode = 4;
    TCharacterSheet sheet;
    sheet.DesignMode = true;
    for (int kind = CS_ORTHLINE; kind <= CS_BUTTON; ++kind) {
        auto o = NewCSObject(kind);
        SetBoxPx(*o, 0, 0, 50, 50);
        o->FText = "t";
        o->FSelected = true;
        o->Image = std::make_unique<TMemoryStream>();
        o->Image->Assign("x");
        sheet.Pages[0]->Objects.push_back(std::move(o));
    }
    sheet.Draw(dev);
    EXPECT_EQ(GraphicsQuality, 3);
    EXPECT_EQ(GraphicsColorMode, 4);
    EXPECT_FALSE(dev.Drawing().empty());
}

} // namespace
} // namespace ff
