#include "rendering/Bitmaps.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "rendering/ImageCache.h"
#include "rendering/IntegerMatrix.h"
#include "rendering/KELDGraphics.h"
#include "support/Files.h"
#include "support/Numbers.h"
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

namespace ff {

namespace {

int EncoderForFile(const std::string& sFile)
{
    return FindImageEncoder(MimeTypeForFile(sFile));
}

bool EncodeForFile(const TBitmap& bmp, const std::string& sFile, std::string& sOut)
{
    TImageCodec* codec = GetImageCodec();
    const int enc = EncoderForFile(sFile);
    return codec && enc >= 0 && !bmp.IsEmpty() && codec->Encode(bmp, enc, sOut);
}

bool SaveEncoded(const TBitmap& bmp, const std::string& sFile)
{
    std::string bytes, error;
    return EncodeForFile(bmp, sFile, bytes) && WriteFileAtomically(sFile, bytes, error);
}

std::unique_ptr<TBitmap> DecodeOpaqueOnBlack(std::string_view bytes)
{
    TImageCodec* codec = GetImageCodec();
    auto bmp = std::make_unique<TBitmap>();
    if (!codec || bytes.empty() || !codec->Decode(bytes, *bmp) || bmp->IsEmpty()) return nullptr;
    if (bmp->HasAlpha) {
        for (TArgb& p : bmp->Pixels) {
            const unsigned a = ArgbAlpha(p);
            p = MakeArgb(255, (ArgbRed(p) * a + 127) / 255, (ArgbGreen(p) * a + 127) / 255,
                         (ArgbBlue(p) * a + 127) / 255);
        }
        bmp->HasAlpha = false;
    }
    return bmp;
}

// Keys cubic convolution (a = -0.5).
double Cubic(double x)
{
    x = std::fabs(x);
    if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
    if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
    return 0;
}

struct TTap
{
    int First = 0;
    std::vector<float> Weights;
};

// Resampling taps from n source samples onto m; when shrinking, the kernel widens with the
// scale so every source sample contributes (no aliasing).
std::vector<TTap> CubicTaps(int n, int m)
{
    std::vector<TTap> taps(static_cast<std::size_t>(m));
    const double scale = static_cast<double>(n) / m;
    const double support = 2.0 * std::max(1.0, scale);
    const double stretch = std::max(1.0, scale);
    for (int i = 0; i < m; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int lo = static_cast<int>(std::floor(centre - support)) + 1;
        const int hi = static_cast<int>(std::floor(centre + support));
        TTap& t = taps[i];
        t.First = lo;
        double sum = 0;
        for (int j = lo; j <= hi; ++j) {
            const double w = Cubic((j - centre) / stretch);
            t.Weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (sum != 0)
            for (float& w : t.Weights)
                w = static_cast<float>(w / sum);
    }
    return taps;
}

unsigned ClampByte(float v)
{
    return v <= 0 ? 0u : v >= 255 ? 255u : static_cast<unsigned>(std::lround(v));
}

} // namespace

std::unique_ptr<TBitmap> LoadBitmap(const std::string& sFile)
{
    if (!FileExists(sFile)) return nullptr;
    const auto bytes = ReadFileBytes(sFile);
    return bytes ? DecodeOpaqueOnBlack(*bytes) : nullptr;
}

std::unique_ptr<TBitmap> LoadBitmapFromStream(TStream& bmpStr)
{
    std::string holder;
    return DecodeOpaqueOnBlack(StreamContent(bmpStr, holder));
}

bool LoadBitmapToStream(const std::string& sFile, TStream& str)
{
    if (!FileExists(sFile)) return false;
    const auto bytes = ReadFileBytes(sFile);
    if (!bytes) return false;
    str.Seek(0, soEnd);
    const auto n = static_cast<std::int64_t>(bytes->size());
    return str.Write(bytes->data(), n) == n;
}

bool SaveBitmap(const TBitmap& bmp, const std::string& sFile)
{
    return SaveEncoded(bmp, sFile);
}

bool SaveBitmapStream(TStream& m, const std::string& sFile)
{
    TImageCodec* codec = GetImageCodec();
    if (!codec || EncoderForFile(sFile) < 0) return false;
    std::string holder;
    TBitmap bmp;
    return codec->Decode(StreamContent(m, holder), bmp) && SaveEncoded(bmp, sFile);
}

bool SaveBitmapToStream(const TBitmap& bmp, TMemoryStream& mOut, const std::string& sFile)
{
    std::string bytes;
    if (!EncodeForFile(bmp, sFile, bytes)) return false;
    mOut.Assign(bytes);
    return true;
}

bool TTiffPageWriter::AddPage(const TBitmap& page)
{
    TImageCodec* codec = GetImageCodec();
    if (FClosed || !codec || page.IsEmpty()) return false;
    std::string bytes = FBytes;
    std::string error;
    if (!codec->AppendPage(bytes, page, FEncoder) || !WriteFileAtomically(FFile, bytes, error))
        return false;
    FBytes = std::move(bytes);
    ++FPages;
    return true;
}

bool TTiffPageWriter::Close()
{
    if (FClosed) return false;
    FClosed = true;
    FBytes.clear();
    return FPages > 0;
}

std::unique_ptr<TTiffPageWriter> SaveTiffFirstPage(const TBitmap& NewPage, const std::string& sFile)
{
    const int enc = EncoderForFile(sFile);
    if (enc < 0) return nullptr;
    auto w = std::make_unique<TTiffPageWriter>(sFile, enc);
    if (!w->AddPage(NewPage)) return nullptr;
    return w;
}

bool SaveTiffAddPage(TTiffPageWriter& ExistingGPBitmap, const TBitmap& NewPage)
{
    return ExistingGPBitmap.AddPage(NewPage);
}

bool SaveTiffClose(TTiffPageWriter& ExistingGPBitmap)
{
    return ExistingGPBitmap.Close();
}

TBitmap ResizeBicubic(const TBitmap& src, int w, int h)
{
    TBitmap out;
    if (src.IsEmpty() || !out.Resize(w, h)) return out;
    out.HasAlpha = src.HasAlpha;
    const std::vector<TTap> tx = CubicTaps(src.Width, w);
    const std::vector<TTap> ty = CubicTaps(src.Height, h);
    // Premultiplied so that transparent pixels lend no colour to their neighbours.
    std::vector<float> pre(static_cast<std::size_t>(src.Width) * src.Height * 4);
    for (std::size_t i = 0; i < src.Pixels.size(); ++i) {
        const TArgb p = src.Pixels[i];
        const float a = static_cast<float>(ArgbAlpha(p));
        pre[i * 4 + 0] = ArgbRed(p) * a / 255.0f;
        pre[i * 4 + 1] = ArgbGreen(p) * a / 255.0f;
        pre[i * 4 + 2] = ArgbBlue(p) * a / 255.0f;
        pre[i * 4 + 3] = a;
    }
    // Across: source rows onto the new width.
    std::vector<float> mid(static_cast<std::size_t>(w) * src.Height * 4);
    for (int y = 0; y < src.Height; ++y)
        for (int x = 0; x < w; ++x) {
            float acc[4] = {0, 0, 0, 0};
            const TTap& t = tx[x];
            for (std::size_t k = 0; k < t.Weights.size(); ++k) {
                const int sx = std::clamp(t.First + static_cast<int>(k), 0, src.Width - 1);
                const float* p = &pre[(static_cast<std::size_t>(y) * src.Width + sx) * 4];
                for (int c = 0; c < 4; ++c)
                    acc[c] += t.Weights[k] * p[c];
            }
            std::copy(acc, acc + 4, &mid[(static_cast<std::size_t>(y) * w + x) * 4]);
        }
    // Down.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float acc[4] = {0, 0, 0, 0};
            const TTap& t = ty[y];
            for (std::size_t k = 0; k < t.Weights.size(); ++k) {
                const int sy = std::clamp(t.First + static_cast<int>(k), 0, src.Height - 1);
                const float* p = &mid[(static_cast<std::size_t>(sy) * w + x) * 4];
                for (int c = 0; c < 4; ++c)
                    acc[c] += t.Weights[k] * p[c];
            }
            const unsigned a = ClampByte(acc[3]);
            if (a == 0) {
                out.SetPixel(x, y, 0);
                continue;
            }
            const float un = 255.0f / a;
            out.SetPixel(x, y,
                         MakeArgb(a, ClampByte(acc[0] * un), ClampByte(acc[1] * un),
                                  ClampByte(acc[2] * un)));
        }
    return out;
}

bool ResizeBitmap(TStream& mIn, TMemoryStream& mOut, int w, const std::string& sFile)
{
    TImageCodec* codec = GetImageCodec();
    if (!codec || w <= 0) return false;
    std::string holder;
    TBitmap src;
    if (!codec->Decode(StreamContent(mIn, holder), src) || src.Width <= 0) return false;
    // At least one row, so a very wide image still gives a picture.
    const double dh = std::trunc(static_cast<double>(src.Height) / src.Width * w);
    const int h = static_cast<int>(std::max(1.0, dh));
    if (!IsAcceptableBitmapSize(w, h)) return false;
    TBitmap out = ResizeBicubic(src, w, h);
    std::string bytes;
    if (!EncodeForFile(out, sFile.empty() ? std::string("a.png") : sFile, bytes)) return false;
    mOut.Assign(bytes);
    return true;
}

TRect ThumbnailRect(int w, int h, int n)
{
    if (w <= n && h <= n) {
        const int l = (n - w) / 2, t = (n - h) / 2;
        return {l, t, l + w, t + h};
    }
    if (w > h) {
        const int nh = static_cast<int>(RoundHalfEven(static_cast<double>(h) / w * n));
        const int t = (n - nh) / 2;
        return {0, t, n, t + nh};
    }
    if (h > w) {
        const int nw = static_cast<int>(RoundHalfEven(static_cast<double>(w) / h * n));
        const int l = (n - nw) / 2;
        return {l, 0, l + nw, n};
    }
    return {0, 0, n, n};
}

std::unique_ptr<TBitmap> CreateThumbnailFromStream(TStream& s, int nWidth, bool bTransparent)
{
    int w = 0, h = 0;
    GetBitmapSizeFromStream(s, w, h);
    if (w <= 0 || h <= 0 || !IsAcceptableBitmapSize(nWidth, nWidth)) return nullptr;
    auto thumb = std::make_unique<TBitmap>(nWidth, nWidth);
    {
        std::unique_ptr<TGraphicsDevice> dev = CreateBitmapDevice(*thumb, 96);
        if (!dev) return nullptr;
        TKELDGraphics g(dev.get());
        g.ClearFill = bTransparent;
        // The colour key (bTransparent) only exists on the GP path.
        g.UseGP = true;
        g.DrawBitmapStream(s, TRect{0, 0, w, h}, ThumbnailRect(w, h, nWidth));
    } // the device hands its pixels to the bitmap here
    return thumb;
}

std::unique_ptr<TMemoryStream> CreatePNGStreamFromBitmapMask(const TBitmap& bmp,
                                                             const TIntegerMatrix& m)
{
    TBitmap out(bmp.Width, bmp.Height);
    if (out.IsEmpty()) return nullptr;
    for (int y = 0; y < bmp.Height; ++y)
        for (int x = 0; x < bmp.Width; ++x)
            out.SetPixel(x, y,
                         m.FastGet(x, y, 0) != 0 ? (bmp.Pixel(x, y) | 0xFF000000u) : 0x00FFFFFFu);
    auto str = std::make_unique<TMemoryStream>();
    if (!SaveBitmapToStream(out, *str, "mask.png")) return nullptr;
    return str;
}

void ApplyColorMatrix(TBitmap& bmp, const TColorMatrix& m)
{
    if (m.IsIdentity()) return;
    // Products of each channel value with each matrix element, as Apply computes them.
    float tab[4][4][256];
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 4; ++c)
            for (int v = 0; v < 256; ++v)
                tab[i][c][v] = (v / 255.0f) * m.M[i][c];
    for (TArgb& p : bmp.Pixels) {
        const unsigned ch[4] = {ArgbRed(p), ArgbGreen(p), ArgbBlue(p), ArgbAlpha(p)};
        unsigned out[4];
        for (int c = 0; c < 4; ++c) {
            float v = 0;
            for (int i = 0; i < 4; ++i)
                v += tab[i][c][ch[i]];
            v += 1.0f * m.M[4][c];
            out[c] = static_cast<unsigned>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
        }
        p = MakeArgb(out[3], out[0], out[1], out[2]);
    }
}

void GaussianBlur(TBitmap& gbmp, int radius)
{
    const int r = std::min(radius, 100);
    if (r <= 0 || gbmp.Width <= 2 * r || gbmp.Height <= 2 * r) return;
    const std::vector<double> k = GaussianKernel(r);
    const int W = gbmp.Width, H = gbmp.Height;
    auto at = [W](int x, int y) { return static_cast<std::size_t>(y) * W + x; };
    std::vector<float> pre(static_cast<std::size_t>(W) * H * 4);
    for (std::size_t i = 0; i < gbmp.Pixels.size(); ++i) {
        const TArgb p = gbmp.Pixels[i];
        const float a = static_cast<float>(ArgbAlpha(p));
        pre[i * 4 + 0] = ArgbRed(p) * a / 255.0f;
        pre[i * 4 + 1] = ArgbGreen(p) * a / 255.0f;
        pre[i * 4 + 2] = ArgbBlue(p) * a / 255.0f;
        pre[i * 4 + 3] = a;
    }
    std::vector<float> across(pre.size());
    for (int y = 0; y < H; ++y)
        for (int x = r; x < W - r; ++x)
            for (int c = 0; c < 4; ++c) {
                double s = 0;
                for (int i = -r; i <= r; ++i)
                    s += k[i + r] * pre[at(x + i, y) * 4 + c];
                across[at(x, y) * 4 + c] = static_cast<float>(s);
            }
    for (int y = r; y < H - r; ++y)
        for (int x = r; x < W - r; ++x) {
            float v[4];
            for (int c = 0; c < 4; ++c) {
                double s = 0;
                for (int i = -r; i <= r; ++i)
                    s += k[i + r] * across[at(x, y + i) * 4 + c];
                v[c] = static_cast<float>(s);
            }
            const unsigned a = ClampByte(v[3]);
            const float un = a ? 255.0f / a : 0.0f;
            gbmp.Pixels[at(x, y)] =
                a ? MakeArgb(a, ClampByte(v[0] * un), ClampByte(v[1] * un), ClampByte(v[2] * un))
                  : 0;
        }
}

TProfiler::TProfiler()
    : FStart(std::chrono::duration_cast<std::chrono::microseconds>(
                 std::chrono::steady_clock::now().time_since_epoch())
                 .count())
{
}

double TProfiler::CurrentStamp() const
{
    const long long now = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    return (now - FStart) / 1000.0;
}

double BitmapDrawTimeTotal = 0;

} // namespace ff
