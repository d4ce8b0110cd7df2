#include "rendering/Bitmaps.h"

#include "support/Files.h"
#include "support/Text.h"

namespace ff {

std::string_view StreamContent(TStream& str, std::string& holder)
{
    if (auto* mem = dynamic_cast<TMemoryStream*>(&str)) return mem->Bytes();
    const std::int64_t pos = str.GetPosition();
    const std::int64_t size = str.Size();
    holder.clear();
    if (size > 0) {
        holder.resize(static_cast<std::size_t>(size));
        str.SetPosition(0);
        const std::int64_t n = str.Read(holder.data(), size);
        holder.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    }
    str.SetPosition(pos);
    return holder;
}

void GetBitmapSizeFromBytes(std::string_view bytes, int& w, int& h)
{
    w = h = 0;
    TImageCodec* codec = GetImageCodec();
    if (!codec || bytes.empty()) return;
    int cw = 0, ch = 0;
    if (codec->ReadSize(bytes, cw, ch) && cw > 0 && ch > 0) {
        w = cw;
        h = ch;
    }
}

void GetBitmapSizeFromStream(TStream& bmpStr, int& w, int& h)
{
    std::string holder;
    GetBitmapSizeFromBytes(StreamContent(bmpStr, holder), w, h);
}

std::string MimeTypeForFile(const std::string& sName)
{
    const std::string ext = UpperCase(ExtractFileExt(sName));
    if (ext == ".JPG" || ext == ".JPEG") return "image/jpeg";
    if (ext == ".PNG") return "image/png";
    if (ext == ".TIFF" || ext == ".TIF") return "image/tiff";
    return "image/bmp";
}

int FindImageEncoder(const std::string& sMime, TImageEncoderInfo* pEncoder)
{
    TImageCodec* codec = GetImageCodec();
    if (!codec) return -1;
    const auto& encoders = codec->Encoders();
    for (int i = static_cast<int>(encoders.size()) - 1; i >= 0; --i) {
        if (encoders[i].MimeType == sMime) {
            if (pEncoder) *pEncoder = encoders[i];
            return i;
        }
    }
    return -1;
}

} // namespace ff
