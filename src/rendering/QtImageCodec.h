// The image codec on Qt's image readers and writers (TIFF through the image-formats plugins).
#pragma once

#include "rendering/ImageCodec.h"

class QImage;

namespace ff {

class TQtImageCodec : public TImageCodec
{
public:
    TQtImageCodec();

    bool ReadSize(std::string_view bytes, int& w, int& h) override;
    bool Decode(std::string_view bytes, TBitmap& bmp) override;
    int FrameCount(std::string_view bytes) override;
    bool DecodeFrame(std::string_view bytes, int nFrame, TBitmap& bmp) override;
    const std::vector<TImageEncoderInfo>& Encoders() override { return FEncoders; }
    bool Encode(const TBitmap& bmp, int nEncoder, std::string& sOut) override;

private:
    std::vector<TImageEncoderInfo> FEncoders;
};

// Installs one process-wide Qt codec (idempotent). Needs a QGuiApplication.
void InstallQtImageCodec();

// Conversions between the core bitmap and QImage; both copy the pixels.
QImage BitmapToQImage(const TBitmap& bmp);
bool QImageToBitmap(const QImage& img, TBitmap& bmp);

} // namespace ff
