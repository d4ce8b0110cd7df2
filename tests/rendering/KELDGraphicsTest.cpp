// Rules of the drawing layer checked through the recording device: back-end choice, colour
// modes, pens and brushes, text placement and rotation, poly-polygons.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "GraphicsSettingsScope.h"
#include "RecordingDevice.h"
#include "rendering/KELDGraphics.h"

namespace ff {
namespace {

using test::TRecord;
using test::TRecordingDevice;
using K = TRecord::TKind;

class KELDGraphicsTest : public ::testing::Test
{
protected:
    test::TGraphicsSettingsScope settings;
    TRecordingDevice dev;
};

TRectF Bounds(const TRecord* r)
{
    return r->Path.Bounds();
}

bool AllGdi(const TRecordingDevice& d)
{
    for (const TRecord* r : d.Drawing())
        if (r->Quality != TDevQuality::GdiAliased) return false;
    return !d.Drawing().empty();
}

bool AllGp(const TRecordingDevice& d)
{
    for (const TRecord* r : d.Drawing())
        if (r->Quality == TDevQuality::GdiAliased) return false;
    return !d.Drawing().empty();
}

TEST_F(KELDGraphicsTest, PolygonBackEndFollowsQualityAndState)
{
    const TBitmap pattern(2, 2, 0xFF000000);
    struct TCase
    {
        const char* Name;
        int Quality;
        std::function<void(TKELDGraphics&)> Setup;
        bool Gp;
    };
    const TCase cases[] = {
        {"plain at 1", 1, [](TKELDGraphics&) {}, false},
        {"UseGP", 1, [](TKELDGraphics& g) { g.UseGP = true; }, true},
        {"quality 2", 2, [](TKELDGraphics&) {}, true},
        {"quality 3", 3, [](TKELDGraphics&) {}, true},
        {"alpha", 1, [](TKELDGraphics& g) { g.Alpha = 128; }, true},
        {"width 1.5", 1, [](TKELDGraphics& g) { g.PenWidth = 1.5; }, true},
        {"pattern", 1, [&](TKELDGraphics& g) { g.FillPattern = &pattern; }, true},
        {"gradient", 1,
         [](TKELDGraphics& g) {
             g.GradientStyle = 1;
             g.SetGradientPoints({{0, 0}, {0, 10}});
         },
         true},
        {"existing surface", 1, [](TKELDGraphics& g) { g.InitGP(); }, true},
        {"quality 0 wide alpha", 0,
         [](TKELDGraphics& g) {
             g.PenWidth = 3;
             g.Alpha = 100;
             g.UseGP = true;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        dev.Clear();
        GraphicsQuality = c.Quality;
        TKELDGraphics g(dev);
        c.Setup(g);
        g.Rectangle(0, 0, 10, 10);
        EXPECT_TRUE(c.Gp ? AllGp(dev) : AllGdi(dev));
    }
}

TEST_F(KELDGraphicsTest, InstanceThatDrewOnGpStaysThereForPolygonsAndPolylines)
{
    TKELDGraphics g(dev);
    g.MoveTo(0, 0);
    g.LineTo(10, 0);
    EXPECT_TRUE(AllGdi(dev));

    dev.Clear();
    g.PenWidth = 1.5;
    g.LineTo(10, 10);
    EXPECT_TRUE(AllGp(dev));
    EXPECT_EQ(g.CurrentPosition, (TPoint{10, 10}));

    dev.Clear();
    g.PenWidth = 1.0;
    g.Rectangle(0, 0, 5, 5);
    g.LineTo(0, 0);
    EXPECT_TRUE(AllGp(dev));

    // The ellipse has no condition on an existing surface.
    dev.Clear();
    g.Ellipse(0, 0, 5, 5);
    EXPECT_TRUE(AllGdi(dev));
}

TEST_F(KELDGraphicsTest, EllipseAndPolylineHaveTheirOwnConditions)
{
    {
        // Quality 0 sends the ellipse to the GP back end.
        GraphicsQuality = 0;
        TKELDGraphics g(dev);
        g.Ellipse(0, 0, 10, 10);
        EXPECT_TRUE(AllGp(dev));
        const auto strokes = dev.Of(K::Stroke);
        ASSERT_EQ(strokes.size(), 1u);
        // Outlined in the box one pixel smaller than the fill.
        EXPECT_EQ(strokes[0]->Path.Bounds().Right, 9);
        EXPECT_EQ(dev.Of(K::Fill)[0]->Path.Bounds().Right, 10);
    }
    dev.Clear();
    {
        // A gradient does not move polylines off the GDI back end.
        GraphicsQuality = 1;
        TKELDGraphics g(dev);
        g.GradientStyle = 1;
        g.SetGradientPoints({{0, 0}, {5, 5}});
        g.Polyline({{0, 0}, {5, 5}});
        EXPECT_TRUE(AllGdi(dev));
    }
}

TEST_F(KELDGraphicsTest, ClearFillIsIgnoredOnGdiOnly)
{
    {
        TKELDGraphics g(dev);
        g.ClearFill = true;
        g.BrushColor = 0x123456;
        g.Rectangle(0, 0, 10, 10);
        ASSERT_EQ(dev.Of(K::Fill).size(), 1u);
        EXPECT_EQ(dev.Of(K::Fill)[0]->Brush.Color, 0x123456u);
        EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);
    }
    dev.Clear();
    {
        TKELDGraphics g(dev);
        g.ClearFill = true;
        g.UseGP = true;
        g.Rectangle(0, 0, 10, 10);
        EXPECT_TRUE(dev.Of(K::Fill).empty());
        EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);
    }
}

TEST_F(KELDGraphicsTest, GdiPenTruncatesWidthAndDropsDashesOfWidePens)
{
    GraphicsQuality = 0;
    TKELDGraphics g(dev);
    g.PenWidth = 2.7;
    g.PenStyle = psDash;
    g.Alpha = 10; // the GDI back end is opaque
    g.Polyline({{0, 0}, {10, 0}});
    g.PenWidth = 1.0;
    g.Polyline({{0, 0}, {10, 0}});
    g.PenStyle = psClear;
    g.Polyline({{0, 0}, {10, 0}});
    const auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0]->Pen.Width, 2);
    EXPECT_EQ(s[0]->Pen.Dash, TDevDash::Solid);
    EXPECT_EQ(s[0]->Pen.Alpha, 255);
    EXPECT_EQ(s[1]->Pen.Dash, TDevDash::Dash);
}

TEST_F(KELDGraphicsTest, GpPenAndHatchedBrush)
{
    TKELDGraphics g(dev);
    g.UseGP = true;
    g.PenWidth = 2.25;
    g.PenColor = 0x0000FF;
    g.LineJoin = 1;
    g.PenStyle = psDashDotDot;
    g.Alpha = 200;
    g.BrushStyle = bsDiagCross;
    g.BrushColor = 0x00FF00;
    g.Rectangle(0, 0, 10, 10);
    const auto f = dev.Of(K::Fill);
    const auto s = dev.Of(K::Stroke);
    ASSERT_EQ(f.size(), 1u);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(f[0]->Brush.Kind, TDevBrush::TKind::Hatch);
    EXPECT_EQ(f[0]->Brush.Hatch, TDevHatch::DiagonalCross);
    EXPECT_EQ(f[0]->Brush.Alpha, 200);
    EXPECT_EQ(s[0]->Pen, (TDevPen{0x0000FF, 200, 2.25, TDevDash::DashDotDot, TDevJoin::Miter,
                                  TDevCap::Round}));
}

TEST_F(KELDGraphicsTest, GradientNeedsTwoPointsAndQualityAboveZero)
{
    {
        TKELDGraphics g(dev);
        g.GradientStyle = 1;
        g.SetGradientPoints({{3, 3}});
        g.BrushColor = 0xABCDEF;
        g.Rectangle(0, 0, 10, 10);
        ASSERT_EQ(dev.Of(K::Fill).size(), 1u);
        EXPECT_EQ(dev.Of(K::Fill)[0]->Brush.Kind, TDevBrush::TKind::Solid);
        EXPECT_EQ(dev.Of(K::Fill)[0]->Brush.Color, 0xABCDEFu);
        EXPECT_EQ(g.GradientStyle, 0);
    }
    dev.Clear();
    {
        TKELDGraphics g(dev);
        g.GradientStyle = 1;
        g.SetGradientPoints({{0, 0}, {0, 20}});
        g.BrushColor = 0x111111;
        g.GradientColor = 0x222222;
        g.GradientAlpha = 50;
        g.Rectangle(0, 0, 10, 10);
        const TDevBrush& b = dev.Of(K::Fill)[0]->Brush;
        EXPECT_EQ(b.Kind, TDevBrush::TKind::LinearGradient);
        EXPECT_EQ(b.P2, (TPointF{0, 20}));
        EXPECT_EQ(b.Color2, 0x222222u);
        EXPECT_EQ(b.Alpha2, 50);
        EXPECT_EQ(g.GradientStyle, 1);
    }
}

TEST_F(KELDGraphicsTest, RadialBrushLeavesItsCircleForTheOverlay)
{
    TKELDGraphics g(dev);
    g.GradientStyle = 2;
    g.SetGradientPoints({{50, 50}, {53, 54}}); // radius 5
    g.BrushColor = 0x0000FF;
    g.GradientColor = 0x00FF00;
    g.GradientAlpha = 255;
    GraphicsColorMode = 1; // the overlay colour bypasses the colour mode
    g.Rectangle(0, 0, 100, 100);
    ASSERT_TRUE(g.GradientRadialPath);
    EXPECT_EQ(g.GradientRadialPath->Bounds(), (TRectF{45, 45, 55, 55}));
    const auto fills = dev.Of(K::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0]->Brush.Kind, TDevBrush::TKind::RadialGradient);
    EXPECT_EQ(fills[0]->Brush.Radius, 5);
    EXPECT_EQ(fills[0]->Brush.Color, 0u);
    EXPECT_EQ(fills[1]->Brush.Kind, TDevBrush::TKind::Solid);
    EXPECT_EQ(fills[1]->Brush.Color, 0x00FF00u);
    const auto clips = dev.Of(K::SetClip);
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_TRUE(clips[0]->Region.StartsInfinite);
    ASSERT_EQ(clips[0]->Region.Steps.size(), 1u);
    EXPECT_EQ(clips[0]->Region.Steps[0].Op, TDevCombine::Exclude);
    EXPECT_EQ(dev.Of(K::Save).size(), dev.Of(K::Restore).size());
}

TEST_F(KELDGraphicsTest, NothingDrawnWhenInvisible)
{
    TKELDGraphics g(dev);
    g.Alpha = 0;
    g.Rectangle(0, 0, 10, 10);
    g.Ellipse(0, 0, 10, 10);
    g.Polyline({{0, 0}, {1, 1}});
    g.TextOut(TRect{0, 0, 100, 20}, "x", 0);
    g.GradientStyle = 1;
    g.SetGradientPoints({{0, 0}, {1, 1}});
    g.GradientAlpha = 0;
    g.Rectangle(0, 0, 10, 10);
    EXPECT_TRUE(dev.Drawing().empty());

    // A gradient with a visible second colour still draws at Alpha 0.
    g.GradientAlpha = 10;
    g.Rectangle(0, 0, 10, 10);
    EXPECT_FALSE(dev.Drawing().empty());

    TKELDGraphics none;
    none.Rectangle(0, 0, 10, 10);
    none.TextOut(TRect{0, 0, 10, 10}, "x", 0);
    int w = -1, h = -1;
    none.MeasureText("abc", w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(none.InitGP());
}

TEST(ModeColorTest, FiveModes)
{
    struct TCase
    {
        TColor In;
        int Mode;
        TColor Out;
    };
    const TCase cases[] = {
        {0x123456, 0, 0x123456},
        {0xFFFFFF, 1, 0x000000},
        {RGBColor(30, 30, 30), 2, 0x000000},
        {RGBColor(31, 31, 31), 2, 0xFFFFFF},
        {RGBColor(255, 0, 0), 3, RGBColor(76, 76, 76)},
        {RGBColor(0, 0, 255), 3, RGBColor(29, 29, 29)},
        {0xFFFFFF, 4, RGBColor(255, 255, 199)},
        {0x000000, 4, 0x000000},
        {RGBColor(100, 50, 20), 4, RGBColor(42, 33, 17)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModeColor(c.In, c.Mode), c.Out) << std::hex << c.In << " mode " << c.Mode;
}

TEST_F(KELDGraphicsTest, ColourModeReachesPensAndBrushesButNotSetPixel)
{
    GraphicsColorMode = 3;
    TKELDGraphics g(dev);
    g.PenColor = RGBColor(255, 0, 0);
    g.BrushColor = RGBColor(255, 0, 0);
    g.Rectangle(0, 0, 10, 10);
    g.SetPixel(1, 1, RGBColor(255, 0, 0));
    EXPECT_EQ(dev.Of(K::Fill)[0]->Brush.Color, RGBColor(76, 76, 76));
    EXPECT_EQ(dev.Of(K::Stroke)[0]->Pen.Color, RGBColor(76, 76, 76));
    EXPECT_EQ(dev.Of(K::SetPixel)[0]->Color, RGBColor(255, 0, 0));
}

TEST_F(KELDGraphicsTest, PlainTextIsDrawnAsGlyphsOtherTextAsOutlines)
{
    GraphicsQuality = 2;
    TKELDGraphics g(dev);
    g.FontName = "Verdana";
    g.FontSize = 20;
    g.PenStyle = psClear;
    g.BrushColor = 0x0000FF;
    g.TextOut(TRect{10, 10, 200, 50}, "plain", 0);
    auto texts = dev.Of(K::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Color, 0x0000FFu);
    EXPECT_TRUE(texts[0]->Layout.Antialias);
    EXPECT_EQ(texts[0]->Layout.Box, (TRectF{10, 10, 200, 50}));
    EXPECT_EQ(texts[0]->Font.Family, "Verdana");
    EXPECT_EQ(texts[0]->Font.PixelSize, 20);
    EXPECT_TRUE(dev.Of(K::TextPath).empty());

    // A visible pen, a gradient or a hatch needs the outlines.
    dev.Clear();
    g.PenStyle = psSolid;
    g.TextOut(TRect{10, 10, 200, 50}, "outlined", 0);
    g.PenStyle = psClear;
    g.BrushStyle = bsCross;
    g.TextOut(TRect{10, 10, 200, 50}, "hatched", 0);
    EXPECT_TRUE(dev.Of(K::Text).empty());
    EXPECT_EQ(dev.Of(K::TextPath).size(), 2u);
    EXPECT_EQ(dev.Of(K::Fill).size(), 2u);
    EXPECT_EQ(dev.Of(K::Stroke).size(), 1u);

    // A clear brush style or ClearFill draws no fill at all.
    dev.Clear();
    g.BrushStyle = bsClear;
    g.TextOut(TRect{10, 10, 200, 50}, "x", 0);
    g.BrushStyle = bsSolid;
    g.ClearFill = true;
    g.TextOut(TRect{10, 10, 200, 50}, "x", 0);
    EXPECT_TRUE(dev.Drawing().empty());
}

TEST_F(KELDGraphicsTest, TextAntialiasFollowsQuality)
{
    for (int q : {0, 1, 2, 3}) {
        dev.Clear();
        GraphicsQuality = q;
        TKELDGraphics g(dev);
        g.PenStyle = psClear;
        g.FontSize = 10;
        g.TextOut(TRect{0, 0, 100, 20}, "x", 0);
        ASSERT_EQ(dev.Of(K::Text).size(), 1u);
        EXPECT_EQ(dev.Of(K::Text)[0]->Layout.Antialias, q >= 2) << q;
    }
}

TEST_F(KELDGraphicsTest, PointTextOutMeasuresAndWidensByHundred)
{
    TKELDGraphics g(dev);
    g.FontName = "Verdana";
    g.FontSize = 10;
    g.FontAlign = 2;
    g.PenStyle = psClear;
    int w = 0, h = 0;
    g.MeasureText("abcd", w, h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 12); // 12.5 truncated
    g.TextOut(TPoint{5, 7}, "abcd", 0);
    g.MoveTo(1, 2);
    g.TextOut("abcd", 0);
    const auto t = dev.Of(K::Text);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->Layout.Box, (TRectF{5, 7, 125, 19}));
    EXPECT_EQ(t[0]->Layout.Align, TDevAlign::Far);
    EXPECT_EQ(t[1]->Layout.Box, (TRectF{1, 2, 121, 14}));
    EXPECT_EQ(g.MeasureTextHeight("abcd", 10), 37); // three wrapped lines of 12.5
}

TEST_F(KELDGraphicsTest, RotatedTextTurnsAboutTheRectangleCentreAndCompounds)
{
    TKELDGraphics g(dev);
    g.PenStyle = psClear;
    g.FontSize = 10;
    g.TextOut(TRect{10, 20, 31, 40}, "r", 90); // centre (20, 30)
    auto t = dev.Of(K::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0]->Layout.Box, (TRectF{-10, -10, 11, 10}));
    const TDevMatrix m1 = t[0]->Transform;
    // The centre stays put; a point right of it moves up (counter-clockwise on the page).
    EXPECT_EQ(m1.Map({0, 0}), (TPointF{20, 30}));
    EXPECT_EQ(m1.Map({10, 0}), (TPointF{20, 20}));

    g.TextOut(TRect{10, 20, 31, 40}, "r", 90);
    t = dev.Of(K::Text);
    ASSERT_EQ(t.size(), 2u);
    const TDevMatrix m2 = t[1]->Transform;
    // Two quarter turns about the same centre: the second is applied inside the first.
    EXPECT_EQ(m2.Map({0, 0}), m1.Map({20, 30}));
    EXPECT_EQ(m2.M11, -1);
    EXPECT_EQ(m2.M22, -1);
    EXPECT_EQ(g.Graphics->Transform, m2);

    // The rotation stays on the instance: later shapes are turned too.
    g.Rectangle(0, 0, 1, 1);
    EXPECT_EQ(dev.Of(K::Fill).back()->Transform, m2);
}

TEST_F(KELDGraphicsTest, DeviceTransformIsRestoredWhenInstanceEnds)
{
    {
        TKELDGraphics g(dev);
        g.PenStyle = psClear;
        g.TextOut(TRect{0, 0, 10, 10}, "r", 45);
    }
    EXPECT_TRUE(dev.Transform().IsIdentity());
    TKELDGraphics next(dev);
    next.Rectangle(0, 0, 1, 1);
    EXPECT_TRUE(dev.Of(K::Fill).back()->Transform.IsIdentity());
}

TEST_F(KELDGraphicsTest, InitStartsTheInstanceAfresh)
{
    TKELDGraphics g(dev);
    g.PenStyle = psClear;
    g.TextOut(TRect{0, 0, 10, 10}, "r", 45);
    g.AddPolygon({{0, 0}, {4, 0}, {4, 4}}, 0);
    g.CurrentRegion = std::make_unique<TDevRegion>();
    g.GradientStyle = 2;
    g.SetGradientPoints({{0, 0}, {5, 0}});
    g.GetBrushGP();
    ASSERT_NE(g.GradientRadialPath, nullptr);

    g.Init();
    EXPECT_EQ(g.Graphics, nullptr);
    EXPECT_TRUE(g.PolyParts.empty());
    EXPECT_EQ(g.CurrentRegion, nullptr);
    EXPECT_EQ(g.GradientRadialPath, nullptr);
    EXPECT_EQ(g.GradientStyle, 0);
    // No rotation and no GP surface left: a plain rectangle is back on GDI, unturned.
    dev.Clear();
    g.Rectangle(0, 0, 1, 1);
    EXPECT_TRUE(AllGdi(dev));
    EXPECT_TRUE(dev.Of(K::Stroke).back()->Transform.IsIdentity());
}

TEST_F(KELDGraphicsTest, FontFamilyFallsBackThroughSubstitutes)
{
    struct TCase
    {
        std::set<std::string> Installed;
        const char* Asked;
        const char* Got;
    };
    const TCase cases[] = {
        {{"Verdana", "DejaVu Sans"}, "Verdana", "Verdana"},
        {{"DejaVu Sans", "Liberation Serif"}, "Verdana", "DejaVu Sans"},
        {{"DejaVu Sans", "Liberation Sans"}, "arial", "Liberation Sans"},
        {{"Times New Roman", "Liberation Serif"}, "No Such Font", "Times New Roman"},
        {{"Liberation Serif"}, "No Such Font", "Liberation Serif"},
        {{"Liberation Serif"}, "", "Liberation Serif"},
        {{"Liberation Serif"}, "Courier New", "Liberation Serif"},
        {{}, "Verdana", ""},
    };
    for (const auto& c : cases) {
        dev.Families = c.Installed;
        EXPECT_EQ(ResolveFontFamily(dev, c.Asked), c.Got) << c.Asked;
    }
}

TEST_F(KELDGraphicsTest, PathTextFollowsThePolyline)
{
    TKELDGraphics g(dev);
    g.FontSize = 10; // 5 px per character in the recording device
    g.DrawPathText({{0, 0}, {10, 0}, {10, 20}}, "abcd");
    auto f = dev.Of(K::Fill);
    ASSERT_EQ(f.size(), 4u);
    // Along the first segment, then down the vertical one (angle 0 for vertical segments).
    EXPECT_EQ(Bounds(f[0]), (TRectF{0, 0, 5, 12.5}));
    EXPECT_EQ(Bounds(f[1]), (TRectF{5, 0, 10, 12.5}));
    EXPECT_EQ(Bounds(f[2]), (TRectF{10, 0, 15, 12.5}));
    EXPECT_EQ(Bounds(f[3]), (TRectF{10, 5, 15, 17.5}));

    // A rising segment turns the characters counter-clockwise: the baseline runs up-right.
    dev.Clear();
    g.DrawPathText({{0, 10}, {10, 0}}, "a");
    f = dev.Of(K::Fill);
    ASSERT_EQ(f.size(), 1u);
    const TPointF end = f[0]->Path.Points[1]; // the glyph box's top-right corner
    EXPECT_NEAR(end.X, 5 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(end.Y, 10 - 5 / std::sqrt(2.0), 1e-9);
}

TEST_F(KELDGraphicsTest, CurvesAndArcsAreStrokedThroughTheirEnds)
{
    TKELDGraphics g(dev);
    g.Curve({{0, 0}, {10, 10}, {20, 0}});
    g.Arc({0, 0}, {20, 10}, 0, 90);
    g.PenStyle = psClear;
    g.Curve({{0, 0}, {10, 10}});
    const auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0]->Quality, TDevQuality::GpAliased);
    EXPECT_EQ(s[0]->Path.Points.front(), (TPointF{0, 0}));
    EXPECT_EQ(s[0]->Path.Points[3], (TPointF{10, 10})); // passes through the middle point
    EXPECT_EQ(s[0]->Path.Points.back(), (TPointF{20, 0}));
    // From the right end of the ellipse clockwise (downwards on the page) to its bottom.
    EXPECT_EQ(s[1]->Path.Points.front(), (TPointF{20, 5}));
    EXPECT_NEAR(s[1]->Path.Points.back().X, 10, 1e-9);
    EXPECT_NEAR(s[1]->Path.Points.back().Y, 10, 1e-9);
}

TEST_F(KELDGraphicsTest, PolyPolygonFastAndClippedPaths)
{
    const std::vector<TPoint> outer{{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    const std::vector<TPoint> inner{{25, 25}, {25, 75}, {75, 75}, {75, 25}};
    {
        TKELDGraphics g(dev);
        g.AddPolygon(outer, 1);
        g.AddPolygon(inner, 4);
        EXPECT_EQ(g.PolyParts[0].CombineMode, 0);
        EXPECT_EQ(g.PolyParts[1].CombineMode, 4);
        g.PolyPolygon();
        const auto f = dev.Of(K::Fill);
        ASSERT_EQ(f.size(), 1u);
        EXPECT_EQ(f[0]->Path.FillRule, TDevFillRule::EvenOdd);
        EXPECT_EQ(f[0]->Path.Ops.size(), 10u);
        EXPECT_TRUE(dev.Of(K::SetClip).empty());
    }
    dev.Clear();
    {
        TKELDGraphics g(dev);
        g.PenColor = 0x0000FF;
        g.AddPolygon(outer, 0);
        g.AddPolygon(inner, 1);
        g.PolyPolygon();
        // The hole is not filled; both parts are outlined, each under its own clip.
        EXPECT_EQ(dev.Of(K::Fill).size(), 1u);
        EXPECT_EQ(dev.Of(K::Stroke).size(), 2u);
        const auto clips = dev.Of(K::SetClip);
        ASSERT_EQ(clips.size(), 3u);
        EXPECT_TRUE(clips[0]->Region.StartsInfinite); // base part, outside what follows
        ASSERT_EQ(clips[2]->Region.Steps.size(), 1u); // hole outline: inside the base part
        EXPECT_EQ(clips[2]->Region.Steps[0].Op, TDevCombine::Union);
        EXPECT_FALSE(clips[2]->Region.StartsInfinite);

        // Same pen and brush colour: no outlines.
        dev.Clear();
        g.BrushColor = g.PenColor;
        g.PolyPolygon();
        EXPECT_TRUE(dev.Of(K::Stroke).empty());

        const TDevRegion rgn = g.GetPolyPolyHRgn();
        ASSERT_EQ(rgn.Steps.size(), 2u);
        EXPECT_EQ(rgn.Steps[0].Op, TDevCombine::Union);
        EXPECT_EQ(rgn.Steps[1].Op, TDevCombine::Exclude);
    }
}

TEST_F(KELDGraphicsTest, OutlineRegionFramesOnGdiAtQualityOne)
{
    TKELDGraphics g(dev);
    g.CurrentRegion = std::make_unique<TDevRegion>();
    g.CurrentRegion->Combine(TDevCombine::Union, [] {
        TDevPath p;
        p.AddRect({0, 0, 10, 10});
        return p;
    }());
    g.PenWidth = 2.9;
    g.PenColor = 0x00FF00;
    g.FillRegion();
    ASSERT_EQ(dev.Of(K::FillRegion).size(), 1u);
    const auto frames = dev.Of(K::FrameRegion);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->X, 2);
    EXPECT_EQ(frames[0]->Color, 0x00FF00u);
}

TEST_F(KELDGraphicsTest, SetPixelGpAndFeatherStamp)
{
    TKELDGraphics g(dev);
    g.PenWidth = 3;
    g.SetPixelGP(4, 5, 0x0000FF);
    const auto s = dev.Of(K::Stroke);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0]->Path.Bounds(), (TRectF{4, 5, 4, 5}));
    EXPECT_EQ(s[0]->Pen.Width, 3);

    dev.Clear();
    g.PolyFeather({{0, 0}, {3, 0}});
    EXPECT_EQ(g.PenFeatherSize, 20);
    EXPECT_FALSE(g.PenPattern); // freed at the end
    const auto imgs = dev.Of(K::Image);
    ASSERT_EQ(imgs.size(), 4u); // one stamp per pixel of the segment
    EXPECT_EQ(imgs[3]->Dest, (TRectF{-17, -20, 24, 21}));
}

} // namespace
} // namespace ff
