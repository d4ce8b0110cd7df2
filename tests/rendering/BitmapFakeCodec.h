// A codec for core tests: its "file format" is a tag, the size, an alpha flag and the raw
// pixels, so tests can make image bytes without the platform.
#pragma once

#include <cstring>
#include <string>

#include "rendering/ImageCodec.h"

namespace ff::test {

class TFakeImageCodec : public TImageCodec
{
public:
    std::vector<TImageEncoderInfo> EncoderList{
        {"image/png", "png", "PNG"}, {"image/bmp", "bmp", "BMP"}, {"image/tiff", "tiff", "TIFF"}};
    int Decodes = 0;

    static std::string Make(const TBitmap& b)
    {
        std::string s = "FAKE";
        Put(s, static_cast<std::uint32_t>(b.Width));
        Put(s, static_cast<std::uint32_t>(b.Height));
        s.push_back(b.HasAlpha ? 1 : 0);
        for (TArgb p : b.Pixels)
            Put(s, p);
        return s;
    }

    bool ReadSize(std::string_view bytes, int& w, int& h) override
    {
        w = h = 0;
        if (bytes.size() < 13 || bytes.substr(0, 4) != "FAKE") return false;
        w = static_cast<int>(Get(bytes, 4));
        h = static_cast<int>(Get(bytes, 8));
        return true;
    }
    bool Decode(std::string_view bytes, TBitmap& bmp) override
    {
        ++Decodes;
        bmp = TBitmap();
        int w = 0, h = 0;
        if (!ReadSize(bytes, w, h) || !IsAcceptableBitmapSize(w, h) ||
            bytes.size() != 13 + std::size_t(w) * h * 4)
            return false;
        bmp.Resize(w, h);
        bmp.HasAlpha = bytes[12] != 0;
        for (std::size_t i = 0; i < bmp.Pixels.size(); ++i)
            bmp.Pixels[i] = Get(bytes, 13 + i * 4);
        return true;
    }
    int FrameCount(std::string_view bytes) override
    {
        int w, h;
        return ReadSize(bytes, w, h) ? 1 : 0;
    }
    bool DecodeFrame(std::string_view bytes, int nFrame, TBitmap& bmp) override
    {
        return nFrame == 0 && Decode(bytes, bmp);
    }
    const std::vector<TImageEncoderInfo>& Encoders() override { return EncoderList; }
    bool Encode(const TBitmap& bmp, int nEncoder, std::string& sOut) override
    {
        if (nEncoder < 0 || nEncoder >= int(EncoderList.size()) || bmp.IsEmpty()) return false;
        sOut = Make(bmp);
        return true;
    }

private:
    static void Put(std::string& s, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    static std::uint32_t Get(std::string_view s, std::size_t at)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(static_cast<std::uint8_t>(s[at + i])) << (8 * i);
        return v;
    }
};

// Installs a codec for the lifetime of the object and puts the previous one back.
class TCodecScope
{
public:
    explicit TCodecScope(TImageCodec* c) : FPrev(GetImageCodec()) { SetImageCodec(c); }
    ~TCodecScope() { SetImageCodec(FPrev); }

private:
    TImageCodec* FPrev;
};

} // namespace ff::test
