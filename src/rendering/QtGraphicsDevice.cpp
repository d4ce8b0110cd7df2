#include "rendering/QtGraphicsDevice.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPaintDevice>
#include <QRegion>
#include <QStaticText>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

namespace ff {

namespace {

QColor ToQColor(TColor c, int alpha)
{
    return QColor(int(ColorRed(c)), int(ColorGreen(c)), int(ColorBlue(c)),
                  std::clamp(alpha, 0, 255));
}

QString ToQString(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Large enough to stand for "everything" in clip arithmetic.
const QRectF Everything(-1e7, -1e7, 2e7, 2e7);

QPainterPath XorPaths(const QPainterPath& a, const QPainterPath& b)
{
    return a.subtracted(b).united(b.subtracted(a));
}

QRegion PathToRegion(const QPainterPath& p)
{
    QRegion r;
    const Qt::FillRule rule = p.fillRule();
    for (const QPolygonF& poly : p.toFillPolygons())
        r = r.xored(QRegion(poly.toPolygon(), rule));
    return r;
}

} // namespace

QImage BitmapAsQImage(const TBitmap& bmp)
{
    if (bmp.IsEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(bmp.Pixels.data()), bmp.Width, bmp.Height,
                  qsizetype(bmp.Width) * 4,
                  bmp.HasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

TQtGraphicsDevice::TQtGraphicsDevice(QPainter& painter, double dDpiX, double dDpiY)
    : m_Painter(painter)
{
    QPaintDevice* pd = painter.device();
    m_DpiX = dDpiX > 0 ? dDpiX : (pd ? pd->logicalDpiX() : 96);
    m_DpiY = dDpiY > 0 ? dDpiY : (dDpiX > 0 ? dDpiX : (pd ? pd->logicalDpiY() : 96));
    m_Base = painter.worldTransform();
}

TQtGraphicsDevice::~TQtGraphicsDevice() = default;

QTransform TQtGraphicsDevice::ToQt(const TDevMatrix& m)
{
    return QTransform(m.M11, m.M12, m.M21, m.M22, m.Dx, m.Dy);
}

QPainterPath TQtGraphicsDevice::ToQt(const TDevPath& p)
{
    QPainterPath qp;
    qp.setFillRule(p.FillRule == TDevFillRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    std::size_t k = 0;
    for (TDevPath::TOp op : p.Ops) {
        switch (op) {
        case TDevPath::TOp::MoveTo:
            qp.moveTo(p.Points[k].X, p.Points[k].Y);
            ++k;
            break;
        case TDevPath::TOp::LineTo:
            qp.lineTo(p.Points[k].X, p.Points[k].Y);
            ++k;
            break;
        case TDevPath::TOp::CubicTo:
            qp.cubicTo(p.Points[k].X, p.Points[k].Y, p.Points[k + 1].X, p.Points[k + 1].Y,
                       p.Points[k + 2].X, p.Points[k + 2].Y);
            k += 3;
            break;
        case TDevPath::TOp::Close:
            qp.closeSubpath();
            break;
        }
    }
    return qp;
}

void TQtGraphicsDevice::FromQt(const QPainterPath& qp, TDevPath& out)
{
    out.FillRule = qp.fillRule() == Qt::OddEvenFill ? TDevFillRule::EvenOdd : TDevFillRule::Winding;
    const int n = qp.elementCount();
    out.Ops.reserve(out.Ops.size() + n);
    out.Points.reserve(out.Points.size() + n);
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = qp.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            out.MoveTo(e.x, e.y);
            break;
        case QPainterPath::LineToElement:
            out.LineTo(e.x, e.y);
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < n) {
                const auto c2 = qp.elementAt(i + 1), p = qp.elementAt(i + 2);
                out.CubicTo({e.x, e.y}, {c2.x, c2.y}, {p.x, p.y});
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
}

QPainterPath TQtGraphicsDevice::RegionPath(const TDevRegion& r) const
{
    QPainterPath acc;
    if (r.StartsInfinite) acc.addRect(Everything);
    for (const auto& step : r.Steps) {
        const QPainterPath p = ToQt(step.Path);
        switch (step.Op) {
        case TDevCombine::Replace:
            acc = p;
            break;
        case TDevCombine::Union:
            acc = acc.united(p);
            break;
        case TDevCombine::Intersect:
            acc = acc.intersected(p);
            break;
        case TDevCombine::Exclude:
            acc = acc.subtracted(p);
            break;
        case TDevCombine::Xor:
            acc = XorPaths(acc, p);
            break;
        }
    }
    return acc;
}

// --- state -----------------------------------------------------------------------------------

void TQtGraphicsDevice::Save()
{
    m_Painter.save();
    m_Saved.push_back(m_Transform);
}

void TQtGraphicsDevice::Restore()
{
    if (m_Saved.empty()) return;
    m_Painter.restore();
    m_Transform = m_Saved.back();
    m_Saved.pop_back();
}

void TQtGraphicsDevice::SetTransform(const TDevMatrix& m)
{
    m_Transform = m;
    m_Painter.setWorldTransform(ToQt(m) * m_Base);
}

void TQtGraphicsDevice::SetClip(const TDevRegion& r)
{
    m_Painter.setClipPath(RegionPath(r), Qt::IntersectClip);
}

void TQtGraphicsDevice::NoClip()
{
    m_Painter.setClipping(false);
}

void TQtGraphicsDevice::SetQuality(TDevQuality q)
{
    const bool aa = IsAntialiased(q);
    if (m_Painter.testRenderHint(QPainter::Antialiasing) != aa)
        m_Painter.setRenderHint(QPainter::Antialiasing, aa);
}

// --- pens and brushes ------------------------------------------------------------------------

QPen TQtGraphicsDevice::PenFor(const TDevPen& p, TDevQuality q) const
{
    QPen pen(ToQColor(p.Color, IsGdi(q) ? 255 : p.Alpha));
    double w = std::max(0.0, p.Width);
    // A device-context pen of width 0 or 1 is one pixel wide whatever the transform; an aliased
    // GP pen thinner than a pixel still draws one pixel.
    const bool cosmetic = IsGdi(q) ? w <= 1 : (!IsAntialiased(q) && w < 1);
    pen.setWidthF(cosmetic ? 0.0 : w);
    pen.setCosmetic(cosmetic);
    pen.setJoinStyle(p.Join == TDevJoin::Miter ? Qt::MiterJoin : Qt::RoundJoin);
    pen.setMiterLimit(10);
    pen.setCapStyle(p.Cap == TDevCap::Round ? Qt::RoundCap : Qt::FlatCap);
    if (p.Dash != TDevDash::Solid) {
        QList<qreal> dashes;
        if (IsGdi(q)) {
            // The fixed pixel patterns of a one-pixel device-context pen.
            switch (p.Dash) {
            case TDevDash::Dash:
                dashes = {18, 6};
                break;
            case TDevDash::Dot:
                dashes = {3, 3};
                break;
            case TDevDash::DashDot:
                dashes = {9, 6, 3, 6};
                break;
            default:
                dashes = {9, 3, 3, 3, 3, 3};
                break;
            }
        } else {
            // Pattern in units of the pen width.
            switch (p.Dash) {
            case TDevDash::Dash:
                dashes = {3, 1};
                break;
            case TDevDash::Dot:
                dashes = {1, 1};
                break;
            case TDevDash::DashDot:
                dashes = {3, 1, 1, 1};
                break;
            default:
                dashes = {3, 1, 1, 1, 1, 1};
                break;
            }
        }
        pen.setDashPattern(dashes);
        // Round caps would grow every dash over its gap.
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

QBrush TQtGraphicsDevice::BrushFor(const TDevBrush& b)
{
    switch (b.Kind) {
    case TDevBrush::TKind::Solid:
        return QBrush(ToQColor(b.Color, b.Alpha));
    case TDevBrush::TKind::Hatch: {
        static const Qt::BrushStyle styles[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(ToQColor(b.Color, b.Alpha), styles[std::min<int>(int(b.Hatch), 5)]);
    }
    case TDevBrush::TKind::LinearGradient: {
        QLinearGradient g(b.P1.X, b.P1.Y, b.P2.X, b.P2.Y);
        g.setColorAt(0, ToQColor(b.Color, b.Alpha));
        g.setColorAt(1, ToQColor(b.Color2, b.Alpha2));
        g.setSpread(QGradient::ReflectSpread);
        return QBrush(g);
    }
    case TDevBrush::TKind::RadialGradient: {
        QRadialGradient g(b.P1.X, b.P1.Y, std::max(b.Radius, 0.0));
        g.setColorAt(0, ToQColor(b.Color, b.Alpha));
        g.setColorAt(1, ToQColor(b.Color2, b.Alpha2));
        return QBrush(g);
    }
    case TDevBrush::TKind::Texture: {
        if (!b.Texture || b.Texture->IsEmpty()) return QBrush(ToQColor(b.Color, b.Alpha));
        QImage img = BitmapAsQImage(*b.Texture).convertToFormat(QImage::Format_ARGB32);
        if (!b.Matrix.IsIdentity()) {
            for (int y = 0; y < img.height(); ++y) {
                auto* row = reinterpret_cast<TArgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    row[x] = b.Matrix.Apply(row[x]);
            }
        }
        m_TextureImage = img;
        QBrush br(m_TextureImage);
        br.setTransform(ToQt(b.TextureTransform));
        return br;
    }
    }
    return QBrush(ToQColor(b.Color, b.Alpha));
}

// --- shapes ----------------------------------------------------------------------------------

void TQtGraphicsDevice::FillQtPath(const QPainterPath& qp, const TDevBrush& brush, TDevQuality q)
{
    SetQuality(q);
    if (brush.Kind == TDevBrush::TKind::RadialGradient) {
        // A path gradient paints only inside its circle.
        QPainterPath circle;
        circle.addEllipse(QPointF(brush.P1.X, brush.P1.Y), brush.Radius, brush.Radius);
        m_Painter.fillPath(qp.intersected(circle), BrushFor(brush));
        return;
    }
    if (brush.Kind == TDevBrush::TKind::Solid && IsGdi(q)) {
        m_Painter.fillPath(qp, ToQColor(brush.Color, 255));
        return;
    }
    m_Painter.fillPath(qp, BrushFor(brush));
}

void TQtGraphicsDevice::FillPath(const TDevPath& path, const TDevBrush& brush, TDevQuality q)
{
    if (path.Empty()) return;
    if (IsGdi(q) && path.Ops.size() == 5 && path.Ops[4] == TDevPath::TOp::Close) {
        // Axis-aligned rectangles are the common case: fill them without a path.
        const auto& p = path.Points;
        if (p[0].X == p[1].X && p[1].Y == p[2].Y && p[2].X == p[3].X && p[3].Y == p[0].Y &&
            brush.Kind == TDevBrush::TKind::Solid) {
            SetQuality(q);
            const QRectF r = QRectF(QPointF(p[0].X, p[0].Y), QPointF(p[2].X, p[2].Y)).normalized();
            if (!r.isEmpty()) m_Painter.fillRect(r, ToQColor(brush.Color, 255));
            return;
        }
    }
    FillQtPath(ToQt(path), brush, q);
}

void TQtGraphicsDevice::StrokePath(const TDevPath& path, const TDevPen& pen, TDevQuality q)
{
    if (path.Empty()) return;
    SetQuality(q);
    const QPen qpen = PenFor(pen, q);
    const bool straight = std::none_of(path.Ops.begin(), path.Ops.end(), [](TDevPath::TOp op) {
        return op == TDevPath::TOp::CubicTo;
    });
    if (!(qpen.isCosmetic() && straight && pen.Dash == TDevDash::Solid)) {
        m_Painter.strokePath(ToQt(path), qpen);
        return;
    }
    // One-pixel lines (most lines, frames and the grid marks): polylines without building a
    // path, on the same cosmetic stroker.
    m_Painter.setPen(qpen);
    m_Painter.setBrush(Qt::NoBrush);
    std::size_t k = 0;
    auto flush = [&] {
        if (m_Polyline.size() > 1)
            m_Painter.drawPolyline(m_Polyline.constData(), int(m_Polyline.size()));
        m_Polyline.clear();
    };
    m_Polyline.clear();
    for (TDevPath::TOp op : path.Ops) {
        if (op == TDevPath::TOp::MoveTo) flush();
        if (op == TDevPath::TOp::Close) {
            if (!m_Polyline.isEmpty()) m_Polyline.append(m_Polyline.first());
            flush();
            continue;
        }
        m_Polyline.append(QPointF(path.Points[k].X, path.Points[k].Y));
        ++k;
    }
    flush();
}

void TQtGraphicsDevice::FillRegion(const TDevRegion& r, const TDevBrush& brush, TDevQuality q)
{
    FillQtPath(RegionPath(r), brush, q);
}

void TQtGraphicsDevice::FrameRegion(const TDevRegion& r, TColor c, int w, int h)
{
    const QRegion rgn = PathToRegion(RegionPath(r));
    // The frame: pixels of the region within w x h of a pixel outside it.
    const QRegion inner = rgn.intersected(rgn.translated(w, 0))
                              .intersected(rgn.translated(-w, 0))
                              .intersected(rgn.translated(0, h))
                              .intersected(rgn.translated(0, -h));
    const QRegion frame = rgn.subtracted(inner);
    m_Painter.save();
    m_Painter.setWorldTransform(m_Base);
    m_Painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect& rc : frame)
        m_Painter.fillRect(rc, ToQColor(c, 255));
    m_Painter.restore();
}

std::vector<TRect> TQtGraphicsDevice::RegionRects(const TDevRegion& r, const TRect& bounds)
{
    QPainterPath box;
    box.addRect(QRectF(bounds.Left, bounds.Top, bounds.Width(), bounds.Height()));
    const QRegion rgn = PathToRegion(RegionPath(r).intersected(box));
    std::vector<TRect> out;
    for (const QRect& rc : rgn)
        out.push_back({rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1});
    return out;
}

void TQtGraphicsDevice::SetPixel(int x, int y, TColor c)
{
    m_Painter.save();
    m_Painter.setWorldTransform(m_Base);
    m_Painter.fillRect(QRect(x, y, 1, 1), ToQColor(c, 255));
    m_Painter.restore();
}

// --- text ------------------------------------------------------------------------------------

bool TQtGraphicsDevice::HasFontFamily(std::string_view sFamily)
{
    // The installed families do not change while the program runs.
    static std::unordered_map<std::string, bool> known;
    std::string key(sFamily);
    auto it = known.find(key);
    if (it != known.end()) return it->second;
    const bool has = QFontDatabase::hasFamily(ToQString(sFamily));
    known.emplace(std::move(key), has);
    return has;
}

const TQtGraphicsDevice::TFontEntry& TQtGraphicsDevice::FontFor(const TDevFont& f)
{
    for (auto it = m_Fonts.rbegin(); it != m_Fonts.rend(); ++it)
        if ((*it)->Key == f) return **it;
    auto e = std::make_unique<TFontEntry>();
    e->Key = f;
    QFont base;
    if (f.Family.empty()) {
        base.setFamily(QStringLiteral("Serif"));
        base.setStyleHint(QFont::Serif);
    } else {
        base.setFamily(ToQString(f.Family));
    }
    QPaintDevice* pd = m_Painter.device();
    const double logical = pd ? pd->logicalDpiY() : 96;
    // Point sizes are resolved against the paint device; pick the one that gives PixelSize.
    base.setPointSizeF(std::max(f.PixelSize, 0.01) * 72.0 / logical);
    base.setBold(f.Bold);
    base.setItalic(f.Italic);
    // Underlines are drawn by LineUnderline, the same way for glyphs and outlines.
    // Unhinted outlines keep glyph drawing and outline filling on the same positions, and
    // layout independent of the target's resolution.
    base.setHintingPreference(QFont::PreferNoHinting);
    base.setKerning(true);
    e->Font = pd ? QFont(base, pd) : base;
    e->AliasedFont = e->Font;
    e->AliasedFont.setStyleStrategy(QFont::NoAntialias);
    e->Metrics = std::make_unique<QFontMetricsF>(e->Font);
    e->CacheKey = f.Family + '\0' + std::to_string(f.PixelSize) + char('0' + f.Bold) +
                  char('0' + f.Italic) + std::to_string(logical) + '\0';
    if (m_Fonts.size() >= 16) m_Fonts.erase(m_Fonts.begin());
    m_Fonts.push_back(std::move(e));
    return *m_Fonts.back();
}

namespace {

struct TBrokenLine
{
    QString Text;
    double Width = 0;                       // without trailing blanks
    std::unique_ptr<QStaticText> Glyphs[2]; // prepared for drawing, aliased and antialiased
};

// The lines of a text at a wrap width in one font. Pages are redrawn again and again with the
// same texts, and a label is measured twice and drawn once per draw, so the breaking (which
// shapes the text) is kept for the texts seen last.
std::vector<TBrokenLine>& BreakLines(const QFont& font, const QFontMetricsF& fm,
                                     const std::string& sFontKey, std::string_view sText,
                                     double dWrapWidth)
{
    // Holds glyphs of the font engines, so it is emptied while the application still exists.
    static std::unordered_map<std::string, std::vector<TBrokenLine>> cache;
    static const bool registered = [] {
        qAddPostRoutine([] { cache.clear(); });
        return true;
    }();
    (void)registered;
    std::string key = sFontKey;
    key.append(reinterpret_cast<const char*>(&dWrapWidth), sizeof dWrapWidth);
    key.append(sText);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() >= 8192) cache.clear();

    std::vector<TBrokenLine> lines;
    const QString text = ToQString(sText);
    auto trimmedWidth = [&](const QString& s) {
        qsizetype n = s.size();
        while (n > 0 && s[n - 1].isSpace())
            --n;
        return n == s.size() ? fm.horizontalAdvance(s) : fm.horizontalAdvance(s.left(n));
    };
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString para = text.mid(start, end - start);
        const double full = para.isEmpty() ? 0.0 : trimmedWidth(para);
        if (dWrapWidth <= 0 || full <= dWrapWidth) {
            lines.push_back({para, full, {}});
        } else {
            // Words that do not fit break between characters, as the layout of the sheets'
            // original platform does.
            QTextLayout layout(para, font);
            QTextOption opt;
            opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(opt);
            layout.beginLayout();
            for (;;) {
                QTextLine line = layout.createLine();
                if (!line.isValid()) break;
                line.setLineWidth(dWrapWidth);
            }
            layout.endLayout();
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QTextLine line = layout.lineAt(i);
                const QString s = para.mid(line.textStart(), line.textLength());
                lines.push_back({s, trimmedWidth(s), {}});
            }
        }
        if (end >= text.size()) break;
        start =
            end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
        if (start == text.size()) {
            lines.push_back({QString(), 0, {}});
            break;
        }
    }
    return cache.emplace(std::move(key), std::move(lines)).first->second;
}

} // namespace

TDevTextExtent TQtGraphicsDevice::LayoutLines(const TDevFont& font, std::string_view sText,
                                              double dLeft, double dTop, double dWrapWidth,
                                              TDevAlign align, std::vector<TLine>* lines)
{
    if (lines) lines->clear();
    TDevTextExtent ext;
    if (sText.empty()) return ext;
    const TFontEntry& fe = FontFor(font);
    const QFontMetricsF& fm = *fe.Metrics;
    const double lineSpacing = fm.lineSpacing();
    const double ascent = fm.ascent();
    auto& broken = BreakLines(fe.Font, fm, fe.CacheKey, sText, dWrapWidth > 0 ? dWrapWidth : 0);
    const double boxW = dWrapWidth > 0 ? dWrapWidth : 0;
    int nLine = 0;
    for (TBrokenLine& b : broken) {
        ext.Width = std::max(ext.Width, b.Width);
        if (lines) {
            TLine l;
            l.Text = b.Text;
            l.Glyphs = b.Glyphs;
            l.Width = b.Width;
            // Whole-pixel baselines: glyph drawing snaps to them, so outlines must too.
            l.Baseline = std::round(dTop + nLine * lineSpacing + ascent);
            l.X = align == TDevAlign::Near     ? dLeft
                  : align == TDevAlign::Center ? dLeft + (boxW - b.Width) / 2
                                               : dLeft + boxW - b.Width;
            lines->push_back(std::move(l));
        }
        ++nLine;
    }
    ext.Height = nLine * lineSpacing;
    return ext;
}

QRectF TQtGraphicsDevice::LineUnderline(const TDevFont& font, const TLine& l)
{
    const QFontMetricsF& fm = *FontFor(font).Metrics;
    const double y = std::round(l.Baseline + fm.underlinePos());
    const double h = std::max(1.0, std::round(fm.lineWidth()));
    const double x0 = std::round(l.X), x1 = std::round(l.X + l.Width);
    return QRectF(x0, y, x1 - x0, h);
}

TDevTextExtent TQtGraphicsDevice::MeasureText(const TDevFont& font, std::string_view sText,
                                              double dWrapWidth)
{
    return LayoutLines(font, sText, 0, 0, dWrapWidth, TDevAlign::Near, nullptr);
}

void TQtGraphicsDevice::TextPath(const TDevFont& font, std::string_view sText,
                                 const TDevTextLayout& layout, TDevPath& out)
{
    LayoutLines(font, sText, layout.Box.Left, layout.Box.Top, layout.Box.Width(), layout.Align,
                &m_Lines);
    const QFont& f = FontFor(font).Font;
    QPainterPath qp;
    for (const TLine& l : m_Lines) {
        if (l.Text.isEmpty()) continue;
        qp.addText(QPointF(l.X, l.Baseline), f, l.Text);
        if (font.Underline) qp.addRect(LineUnderline(font, l));
    }
    qp.setFillRule(Qt::WindingFill);
    FromQt(qp, out);
    out.FillRule = TDevFillRule::Winding;
}

void TQtGraphicsDevice::DrawText(const TDevFont& font, std::string_view sText,
                                 const TDevTextLayout& layout, TColor c, int alpha)
{
    if (alpha <= 0) return;
    LayoutLines(font, sText, layout.Box.Left, layout.Box.Top, layout.Box.Width(), layout.Align,
                &m_Lines);
    const TFontEntry& fe = FontFor(font);
    m_Painter.setRenderHint(QPainter::TextAntialiasing, layout.Antialias);
    m_Painter.setRenderHint(QPainter::Antialiasing, layout.Antialias);
    m_Painter.setFont(layout.Antialias ? fe.Font : fe.AliasedFont);
    m_Painter.setPen(ToQColor(c, alpha));
    const QFont& f = layout.Antialias ? fe.Font : fe.AliasedFont;
    const double ascent = fe.Metrics->ascent();
    for (const TLine& l : m_Lines) {
        if (l.Text.isEmpty()) continue;
        // Glyphs shaped once and kept with the line; drawn from the line's top at the same
        // baseline the outlines use.
        std::unique_ptr<QStaticText>& st = l.Glyphs[layout.Antialias ? 1 : 0];
        if (!st) {
            st = std::make_unique<QStaticText>(l.Text);
            st->setTextFormat(Qt::PlainText);
            st->prepare(QTransform(), f);
        }
        m_Painter.drawStaticText(QPointF(l.X, l.Baseline - ascent), *st);
        if (font.Underline) m_Painter.fillRect(LineUnderline(font, l), ToQColor(c, alpha));
    }
}

// --- images ----------------------------------------------------------------------------------

void TQtGraphicsDevice::DrawImage(const TBitmap& bmp, const TRectF& src, const TRectF& dest,
                                  const TDevImageOptions& opt)
{
    if (bmp.IsEmpty() || opt.Opacity <= 0) return;
    QImage img = BitmapAsQImage(bmp);
    const bool matrix = opt.Matrix && !opt.Matrix->IsIdentity();
    if (matrix || opt.UseColorKey) {
        img = img.convertToFormat(QImage::Format_ARGB32);
        const TArgb key = ColorToArgb(opt.ColorKey) & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<TArgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                TArgb p = row[x];
                if (opt.UseColorKey && (p & 0xFFFFFF) == key) {
                    row[x] = 0;
                    continue;
                }
                if (matrix) row[x] = opt.Matrix->Apply(p);
            }
        }
    }
    m_Painter.save();
    m_Painter.setRenderHint(QPainter::SmoothPixmapTransform, opt.Smooth);
    m_Painter.setOpacity(std::min(1.0, opt.Opacity));
    m_Painter.drawImage(QRectF(dest.Left, dest.Top, dest.Width(), dest.Height()), img,
                        QRectF(src.Left, src.Top, src.Width(), src.Height()));
    m_Painter.restore();
}

// --- bitmap device ---------------------------------------------------------------------------

namespace {
// Opaque pixels are the same premultiplied or not; a page usually has nothing else.
bool AllOpaque(const TBitmap& b)
{
    TArgb acc = 0xFFFFFFFF;
    for (TArgb p : b.Pixels)
        acc &= p;
    return ArgbAlpha(acc) == 255;
}
} // namespace

std::unique_ptr<TQtBitmapDevice::TPainterHolder> TQtBitmapDevice::Begin(TBitmap& target,
                                                                        double dDpi)
{
    auto h = std::make_unique<TPainterHolder>();
    // Paint straight into the bitmap's memory in the raster engine's fast premultiplied
    // format; the pixels are converted back to straight alpha when the device ends.
    if (!AllOpaque(target)) {
        for (TArgb& p : target.Pixels) {
            const unsigned a = ArgbAlpha(p);
            if (a == 255) continue;
            p = MakeArgb(a, ArgbRed(p) * a / 255, ArgbGreen(p) * a / 255, ArgbBlue(p) * a / 255);
        }
    }
    h->Image = QImage(reinterpret_cast<uchar*>(target.Pixels.data()), target.Width, target.Height,
                      qsizetype(target.Width) * 4, QImage::Format_ARGB32_Premultiplied);
    const int dpm = int(std::lround((dDpi > 0 ? dDpi : 96) / 0.0254));
    h->Image.setDotsPerMeterX(dpm);
    h->Image.setDotsPerMeterY(dpm);
    h->Painter.begin(&h->Image);
    return h;
}

TQtBitmapDevice::TQtBitmapDevice(TBitmap& target, double dDpi)
    : TQtBitmapDevice(target, dDpi, Begin(target, dDpi))
{
}

TQtBitmapDevice::TQtBitmapDevice(TBitmap& target, double dDpi, std::unique_ptr<TPainterHolder> h)
    : TQtGraphicsDevice(h->Painter, dDpi, dDpi), m_Target(target), m_Holder(std::move(h))
{
}

TQtBitmapDevice::~TQtBitmapDevice()
{
    m_Holder->Painter.end();
    if (AllOpaque(m_Target)) {
        m_Target.HasAlpha = true;
        return;
    }
    for (TArgb& p : m_Target.Pixels) {
        const unsigned a = ArgbAlpha(p);
        if (a == 255) continue;
        if (a == 0) {
            p = 0;
            continue;
        }
        p = MakeArgb(a, std::min(255u, (ArgbRed(p) * 255 + a / 2) / a),
                     std::min(255u, (ArgbGreen(p) * 255 + a / 2) / a),
                     std::min(255u, (ArgbBlue(p) * 255 + a / 2) / a));
    }
    m_Target.HasAlpha = true;
}

void InstallQtGraphicsDevice()
{
    SetBitmapDeviceFactory([](TBitmap& target, double dDpi) -> std::unique_ptr<TGraphicsDevice> {
        if (target.IsEmpty()) return nullptr;
        return std::make_unique<TQtBitmapDevice>(target, dDpi);
    });
}

} // namespace ff
