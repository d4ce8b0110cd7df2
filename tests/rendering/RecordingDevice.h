// A drawing device that records every request instead of drawing, with simple fixed text
// metrics, so the drawing rules can be checked without pixels.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "rendering/GraphicsDevice.h"
#include "support/Text.h"

namespace ff::test {

struct TRecord
{
    enum class TKind {
        Fill,
        Stroke,
        FillRegion,
        FrameRegion,
        SetPixel,
        Text,
        TextPath,
        Image,
        Save,
        Restore,
        SetTransform,
        SetClip,
        NoClip
    };
    TKind Kind;
    TDevQuality Quality = TDevQuality::GdiAliased;
    TDevPath Path;
    TDevBrush Brush;
    TDevPen Pen;
    TDevMatrix Transform; // the device transform in force
    TDevRegion Region;
    TDevFont Font;
    TDevTextLayout Layout;
    std::string Text;
    TColor Color = 0;
    int Alpha = 0;
    TRectF Src, Dest;
    TDevImageOptions ImageOptions;
    int X = 0, Y = 0;
};

class TRecordingDevice : public TGraphicsDevice
{
public:
    std::vector<TRecord> Records;
    std::set<std::string> Families{"Verdana", "Liberation Serif", "DejaVu Sans"};
    double Dpi = 96;
    // Each character is 0.5 em wide, each line 1.25 em high.
    static constexpr double CharWidth = 0.5, LineHeight = 1.25;

    double DpiX() const override { return Dpi; }
    double DpiY() const override { return Dpi; }
    void Save() override
    {
        m_Stack.push_back(m_T);
        Add(TRecord::TKind::Save);
    }
    void Restore() override
    {
        if (!m_Stack.empty()) {
            m_T = m_Stack.back();
            m_Stack.pop_back();
        }
        Add(TRecord::TKind::Restore);
    }
    void SetTransform(const TDevMatrix& m) override
    {
        m_T = m;
        Add(TRecord::TKind::SetTransform);
    }
    TDevMatrix Transform() const override { return m_T; }
    void SetClip(const TDevRegion& r) override { Add(TRecord::TKind::SetClip).Region = r; }
    void NoClip() override { Add(TRecord::TKind::NoClip); }
    void FillPath(const TDevPath& path, const TDevBrush& brush, TDevQuality q) override
    {
        auto& r = Add(TRecord::TKind::Fill);
        r.Path = path;
        r.Brush = brush;
        r.Quality = q;
    }
    void StrokePath(const TDevPath& path, const TDevPen& pen, TDevQuality q) override
    {
        auto& r = Add(TRecord::TKind::Stroke);
        r.Path = path;
        r.Pen = pen;
        r.Quality = q;
    }
    void FillRegion(const TDevRegion& rg, const TDevBrush& brush, TDevQuality q) override
    {
        auto& r = Add(TRecord::TKind::FillRegion);
        r.Region = rg;
        r.Brush = brush;
        r.Quality = q;
    }
    void FrameRegion(const TDevRegion& rg, TColor c, int w, int) override
    {
        auto& r = Add(TRecord::TKind::FrameRegion);
        r.Region = rg;
        r.Color = c;
        r.X = w;
    }
    std::vector<TRect> RegionRects(const TDevRegion&, const TRect&) override { return {}; }
    void SetPixel(int x, int y, TColor c) override
    {
        auto& r = Add(TRecord::TKind::SetPixel);
        r.X = x;
        r.Y = y;
        r.Color = c;
    }
    bool HasFontFamily(std::string_view s) override { return Families.count(std::string(s)) > 0; }
    TDevTextExtent MeasureText(const TDevFont& font, std::string_view s, double wrap) override
    {
        const auto lines = SplitLines(s);
        double w = 0;
        int n = 0;
        for (const auto& l : lines) {
            const double lw = Utf16Length(l) * CharWidth * font.PixelSize;
            const int parts = wrap > 0 && lw > wrap ? int(lw / wrap) + 1 : 1;
            w = std::max(w, parts > 1 ? wrap : lw);
            n += parts;
        }
        return {w, n * LineHeight * font.PixelSize};
    }
    void TextPath(const TDevFont& font, std::string_view s, const TDevTextLayout& layout,
                  TDevPath& out) override
    {
        auto& r = Add(TRecord::TKind::TextPath);
        r.Font = font;
        r.Text = std::string(s);
        r.Layout = layout;
        const auto e = MeasureText(font, s, layout.Box.Width());
        out.AddRect({layout.Box.Left, layout.Box.Top, layout.Box.Left + e.Width,
                     layout.Box.Top + e.Height});
    }
    void DrawText(const TDevFont& font, std::string_view s, const TDevTextLayout& layout, TColor c,
                  int alpha) override
    {
        auto& r = Add(TRecord::TKind::Text);
        r.Font = font;
        r.Text = std::string(s);
        r.Layout = layout;
        r.Color = c;
        r.Alpha = alpha;
    }
    void DrawImage(const TBitmap&, const TRectF& src, const TRectF& dest,
                   const TDevImageOptions& opt) override
    {
        auto& r = Add(TRecord::TKind::Image);
        r.Src = src;
        r.Dest = dest;
        r.ImageOptions = opt;
    }

    // The records of one kind, in order.
    std::vector<const TRecord*> Of(TRecord::TKind k) const
    {
        std::vector<const TRecord*> out;
        for (const auto& r : Records)
            if (r.Kind == k) out.push_back(&r);
        return out;
    }
    std::vector<const TRecord*> Drawing() const
    {
        std::vector<const TRecord*> out;
        for (const auto& r : Records)
            if (r.Kind == TRecord::TKind::Fill || r.Kind == TRecord::TKind::Stroke ||
                r.Kind == TRecord::TKind::Text || r.Kind == TRecord::TKind::Image ||
                r.Kind == TRecord::TKind::SetPixel || r.Kind == TRecord::TKind::FillRegion ||
                r.Kind == TRecord::TKind::FrameRegion)
                out.push_back(&r);
        return out;
    }
    void Clear() { Records.clear(); }

private:
    TRecord& Add(TRecord::TKind k)
    {
        Records.push_back({});
        Records.back().Kind = k;
        Records.back().Transform = m_T;
        return Records.back();
    }
    TDevMatrix m_T;
    std::vector<TDevMatrix> m_Stack;
};

} // namespace ff::test
