#include "rendering/QtImageCodec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

namespace ff {

namespace {

// Qt's own allocation guard, in megabytes, a little above what MaxBitmapPixels needs.
constexpr int ReaderAllocationLimitMb = static_cast<int>(MaxBitmapPixels * 4 / (1024 * 1024)) + 16;

QByteArray RawBytes(std::string_view bytes)
{
    // No copy: the reader only lives during the call.
    return QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool ReadFrame(std::string_view bytes, int nFrame, TBitmap& bmp)
{
    bmp = TBitmap();
    if (bytes.empty() || nFrame < 0) return false;
    QByteArray data = RawBytes(bytes);
    QBuffer buf(&data);
    if (!buf.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&buf);
    reader.setAllocationLimit(ReaderAllocationLimitMb);
    reader.setAutoTransform(false);
    if (nFrame > 0 && !reader.jumpToImage(nFrame)) return false;
    // Refuse oversized images from the header, before anything is allocated.
    const QSize sz = reader.size();
    if (sz.isValid() && !IsAcceptableBitmapSize(sz.width(), sz.height())) return false;
    QImage img;
    if (!reader.read(&img) || img.isNull()) return false;
    return QImageToBitmap(img, bmp);
}

} // namespace

QImage BitmapToQImage(const TBitmap& bmp)
{
    if (bmp.IsEmpty() || bmp.Pixels.size() != std::size_t(bmp.Width) * bmp.Height) return QImage();
    QImage img(bmp.Width, bmp.Height, bmp.HasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (int y = 0; y < bmp.Height; ++y) {
        auto* dst = reinterpret_cast<TArgb*>(img.scanLine(y));
        std::memcpy(dst, bmp.Row(y), std::size_t(bmp.Width) * sizeof(TArgb));
        if (!bmp.HasAlpha)
            for (int x = 0; x < bmp.Width; ++x)
                dst[x] |= 0xFF000000u;
    }
    return img;
}

bool QImageToBitmap(const QImage& img, TBitmap& bmp)
{
    bmp = TBitmap();
    if (img.isNull() || !IsAcceptableBitmapSize(img.width(), img.height())) return false;
    const bool bAlpha = img.hasAlphaChannel();
    const QImage argb =
        img.format() == QImage::Format_ARGB32 ? img : img.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull() || !bmp.Resize(argb.width(), argb.height())) return false;
    for (int y = 0; y < bmp.Height; ++y)
        std::memcpy(bmp.Row(y), argb.constScanLine(y), std::size_t(bmp.Width) * sizeof(TArgb));
    bmp.HasAlpha = bAlpha;
    return true;
}

TQtImageCodec::TQtImageCodec()
{
    for (const QByteArray& mime : QImageWriter::supportedMimeTypes()) {
        const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mime);
        if (formats.isEmpty()) continue;
        TImageEncoderInfo info;
        info.MimeType = mime.toStdString();
        info.FormatName = formats.front().toStdString();
        info.Description = info.FormatName;
        FEncoders.push_back(std::move(info));
    }
}

bool TQtImageCodec::ReadSize(std::string_view bytes, int& w, int& h)
{
    w = h = 0;
    if (bytes.empty()) return false;
    QByteArray data = RawBytes(bytes);
    QBuffer buf(&data);
    if (!buf.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&buf);
    reader.setAllocationLimit(ReaderAllocationLimitMb);
    reader.setAutoTransform(false);
    QSize sz = reader.size();
    if (!sz.isValid()) {
        // Some handlers cannot tell the size without decoding.
        QImage img;
        if (!reader.read(&img) || img.isNull()) return false;
        sz = img.size();
    } else if (!reader.canRead()) {
        return false;
    }
    if (sz.width() <= 0 || sz.height() <= 0) return false;
    w = sz.width();
    h = sz.height();
    return true;
}

bool TQtImageCodec::Decode(std::string_view bytes, TBitmap& bmp)
{
    return ReadFrame(bytes, 0, bmp);
}

int TQtImageCodec::FrameCount(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    QByteArray data = RawBytes(bytes);
    QBuffer buf(&data);
    if (!buf.open(QIODevice::ReadOnly)) return 0;
    QImageReader reader(&buf);
    if (!reader.canRead()) return 0;
    const int n = reader.imageCount();
    return n > 0 ? n : 1;
}

bool TQtImageCodec::DecodeFrame(std::string_view bytes, int nFrame, TBitmap& bmp)
{
    return ReadFrame(bytes, nFrame, bmp);
}

bool TQtImageCodec::Encode(const TBitmap& bmp, int nEncoder, std::string& sOut)
{
    if (nEncoder < 0 || nEncoder >= static_cast<int>(FEncoders.size())) return false;
    const QImage img = BitmapToQImage(bmp);
    if (img.isNull()) return false;
    QByteArray data;
    QBuffer buf(&data);
    if (!buf.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&buf, QByteArray::fromStdString(FEncoders[nEncoder].FormatName));
    if (!writer.write(img)) return false;
    buf.close();
    sOut.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return true;
}

void InstallQtImageCodec()
{
    static TQtImageCodec codec;
    SetImageCodec(&codec);
}

} // namespace ff
