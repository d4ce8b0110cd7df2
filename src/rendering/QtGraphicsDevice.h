// The QPainter-based drawing device: "GDI" requests are drawn aliased with integer cosmetic pens,
// "GP" requests with alpha, fractional widths and optional antialiasing. Text is laid out once
// per request and either filled as outlines or drawn as glyphs with the same line positions.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>
#include <memory>
#include <string>
#include <vector>

#include "rendering/GraphicsDevice.h"

namespace ff {

class TQtGraphicsDevice : public TGraphicsDevice
{
public:
    // Draws with a painter the caller owns and keeps active; the painter's transform at this
    // point is the device's base. Resolution: the paint device's unless given.
    explicit TQtGraphicsDevice(QPainter& painter, double dDpiX = 0, double dDpiY = 0);
    ~TQtGraphicsDevice() override;

    double DpiX() const override { return m_DpiX; }
    double DpiY() const override { return m_DpiY; }

    void Save() override;
    void Restore() override;
    void SetTransform(const TDevMatrix& m) override;
    TDevMatrix Transform() const override { return m_Transform; }
    void SetClip(const TDevRegion& r) override;
    void NoClip() override;

    void FillPath(const TDevPath& path, const TDevBrush& brush, TDevQuality q) override;
    void StrokePath(const TDevPath& path, const TDevPen& pen, TDevQuality q) override;
    void FillRegion(const TDevRegion& r, const TDevBrush& brush, TDevQuality q) override;
    void FrameRegion(const TDevRegion& r, TColor c, int w, int h) override;
    std::vector<TRect> RegionRects(const TDevRegion& r, const TRect& bounds) override;
    void SetPixel(int x, int y, TColor c) override;

    bool HasFontFamily(std::string_view sFamily) override;
    TDevTextExtent MeasureText(const TDevFont& font, std::string_view sText,
                               double dWrapWidth) override;
    void TextPath(const TDevFont& font, std::string_view sText, const TDevTextLayout& layout,
                  TDevPath& out) override;
    void DrawText(const TDevFont& font, std::string_view sText, const TDevTextLayout& layout,
                  TColor c, int alpha) override;

    void DrawImage(const TBitmap& bmp, const TRectF& src, const TRectF& dest,
                   const TDevImageOptions& opt) override;

    // Conversions shared with other adapters.
    static QPainterPath ToQt(const TDevPath& p);
    static void FromQt(const QPainterPath& qp, TDevPath& out);
    static QTransform ToQt(const TDevMatrix& m);
    QPainterPath RegionPath(const TDevRegion& r) const;

    struct TLine
    {
        QString Text;
        double X = 0;
        double Baseline = 0;
        double Width = 0;
        std::unique_ptr<QStaticText>* Glyphs = nullptr; // two slots kept by the line cache
    };
    // The lines of sText in the box (see TDevTextLayout); returns the laid-out size.
    TDevTextExtent LayoutLines(const TDevFont& font, std::string_view sText, double dLeft,
                               double dTop, double dWrapWidth, TDevAlign align,
                               std::vector<TLine>* lines);

protected:
    QPainter& m_Painter;

private:
    struct TFontEntry
    {
        TDevFont Key;
        QFont Font;
        QFont AliasedFont;
        std::unique_ptr<QFontMetricsF> Metrics;
        std::string CacheKey; // of the text-breaking cache
    };
    const TFontEntry& FontFor(const TDevFont& f);
    void SetQuality(TDevQuality q);
    QBrush BrushFor(const TDevBrush& b);
    QPen PenFor(const TDevPen& p, TDevQuality q) const;
    QRectF LineUnderline(const TDevFont& font, const TLine& l);
    void FillQtPath(const QPainterPath& qp, const TDevBrush& brush, TDevQuality q);

    double m_DpiX = 96, m_DpiY = 96;
    QTransform m_Base;
    TDevMatrix m_Transform;
    std::vector<TDevMatrix> m_Saved;
    std::vector<std::unique_ptr<TFontEntry>> m_Fonts; // small cache, most recent last
    std::vector<TLine> m_Lines;                       // scratch for text requests
    QPolygonF m_Polyline;                             // scratch for one-pixel lines
    QImage m_TextureImage;                            // keeps a texture brush's pixels alive
};

// A device that draws into a TBitmap; the bitmap holds the result when the device is destroyed.
class TQtBitmapDevice : public TQtGraphicsDevice
{
public:
    TQtBitmapDevice(TBitmap& target, double dDpi);
    ~TQtBitmapDevice() override;

private:
    struct TPainterHolder
    {
        QImage Image;
        QPainter Painter;
    };
    static std::unique_ptr<TPainterHolder> Begin(TBitmap& target, double dDpi);
    TQtBitmapDevice(TBitmap& target, double dDpi, std::unique_ptr<TPainterHolder> h);
    TBitmap& m_Target;
    std::unique_ptr<TPainterHolder> m_Holder;
};

// A view of the bitmap's pixels as a QImage (no copy; valid while the bitmap is unchanged).
QImage BitmapAsQImage(const TBitmap& bmp);

// Installs the Qt bitmap device as the process's bitmap-device factory.
void InstallQtGraphicsDevice();

} // namespace ff
