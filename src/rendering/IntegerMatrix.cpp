#include "rendering/IntegerMatrix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "persistence/ByteStream.h"
#include "rendering/Bitmap.h"
#include "support/Numbers.h"

namespace ff {

namespace {

int WrapOnce(int v, int n)
{
    if (v < 0) return v + n;
    if (v >= n) return v - n;
    return v;
}

long long RoundDiv(double v)
{
    return static_cast<long long>(RoundHalfEven(v));
}

} // namespace

std::vector<double> GaussianKernel(int radius)
{
    if (radius <= 0) return {1.0};
    const double sigma = radius / 2.0;
    std::vector<double> k(static_cast<std::size_t>(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        const double w = std::exp(-(i * i) / (2 * sigma * sigma));
        k[i + radius] = w;
        sum += w;
    }
    for (double& w : k)
        w /= sum;
    return k;
}

TIntegerMatrix::TIntegerMatrix(int x, int y)
{
    if (!IsAcceptableBitmapSize(x, y)) return;
    Width = x;
    Height = y;
    Data.assign(static_cast<std::size_t>(x) * y, 0);
    DataInitialized = true;
}

std::int32_t TIntegerMatrix::Clamp(long long v) const
{
    const long long lo = std::min(LowValue, HighValue);
    return static_cast<std::int32_t>(std::clamp<long long>(v, lo, HighValue));
}

int TIntegerMatrix::Get(int x, int y) const
{
    x = WrapOnce(x, Width);
    y = WrapOnce(y, Height);
    return Inside(x, y) ? Data[Index(x, y)] : 0;
}

void TIntegerMatrix::Set(int x, int y, int v)
{
    x = WrapOnce(x, Width);
    y = WrapOnce(y, Height);
    if (Inside(x, y)) Data[Index(x, y)] = Clamp(v);
}

void TIntegerMatrix::SetAllData(int v)
{
    std::fill(Data.begin(), Data.end(), Clamp(v));
}

int TIntegerMatrix::GetMaxValue() const
{
    return Data.empty() ? 0 : *std::max_element(Data.begin(), Data.end());
}

int TIntegerMatrix::GetMinValue() const
{
    return Data.empty() ? 0 : *std::min_element(Data.begin(), Data.end());
}

bool TIntegerMatrix::WriteToStream(TStream& s) const
{
    std::string bytes(Data.size() * 4, '\0');
    for (std::size_t i = 0; i < Data.size(); ++i) {
        const auto v = static_cast<std::uint32_t>(Data[i]);
        for (int b = 0; b < 4; ++b)
            bytes[i * 4 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
    }
    const auto n = static_cast<std::int64_t>(bytes.size());
    return s.Write(bytes.data(), n) == n;
}

bool TIntegerMatrix::ReadFromStream(TStream& s)
{
    const auto n = static_cast<std::int64_t>(Data.size() * 4);
    if (s.Remaining() < n) return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (s.Read(bytes.data(), n) != n) return false;
    for (std::size_t i = 0; i < Data.size(); ++i) {
        std::uint32_t v = 0;
        for (int b = 0; b < 4; ++b)
            v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i * 4 + b])) << (8 * b);
        Data[i] = static_cast<std::int32_t>(v);
    }
    return true;
}

void TIntegerMatrix::MapFrom(const TIntegerMatrix& m)
{
    if (Data.empty() || m.Data.empty()) return;
    for (int y = 0; y < Height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * m.Height / Height);
        for (int x = 0; x < Width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * m.Width / Width);
            Data[Index(x, y)] = Clamp(m.Data[m.Index(sx, sy)]);
        }
    }
}

void TIntegerMatrix::OptimizedMap(const TIntegerMatrix& m)
{
    if (Data.empty() || m.Data.empty()) return;
    const double fx = static_cast<double>(m.Width) / Width;
    const double fy = static_cast<double>(m.Height) / Height;
    for (int y = 0; y < Height; ++y) {
        const double py = y * fy;
        const int iy = static_cast<int>(py);
        double ty = py - iy;
        if (ty < 0.01) ty = 0;
        const int iy1 = std::min(iy + 1, m.Height - 1); // the edge cell stands for what is past it
        for (int x = 0; x < Width; ++x) {
            const double px = x * fx;
            const int ix = static_cast<int>(px);
            double tx = px - ix;
            if (tx < 0.01) tx = 0;
            const int ix1 = std::min(ix + 1, m.Width - 1);
            const double v = (1 - tx) * (1 - ty) * m.Data[m.Index(ix, iy)] +
                             tx * (1 - ty) * m.Data[m.Index(ix1, iy)] +
                             (1 - tx) * ty * m.Data[m.Index(ix, iy1)] +
                             tx * ty * m.Data[m.Index(ix1, iy1)];
            Data[Index(x, y)] = Clamp(static_cast<long long>(std::trunc(v)));
        }
    }
}

void TIntegerMatrix::Filter(const std::vector<int>& kernel, int nDivisor)
{
    if (kernel.size() < 9 || Data.empty()) return;
    if (nDivisor == 0) nDivisor = 1;
    std::vector<std::int32_t> out(Data.size());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            long long sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum +=
                        static_cast<long long>(kernel[(dy + 1) * 3 + dx + 1]) * Get(x + dx, y + dy);
            out[Index(x, y)] = Clamp(RoundDiv(static_cast<double>(sum) / nDivisor));
        }
    Data = std::move(out);
}

void TIntegerMatrix::Shift(int dx, int dy)
{
    if (Data.empty()) return;
    const int sx = ((dx % Width) + Width) % Width;
    const int sy = ((dy % Height) + Height) % Height;
    std::vector<std::int32_t> out(Data.size());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            out[Index((x + sx) % Width, (y + sy) % Height)] = Data[Index(x, y)];
    Data = std::move(out);
}

void TIntegerMatrix::Normalize(int l, int h)
{
    if (Data.empty()) return;
    const long long lo = GetMinValue();
    const long long hi = GetMaxValue();
    if (l == h || lo == hi) {
        SetAllData(l);
        return;
    }
    const double scale = (static_cast<double>(h) - l) / static_cast<double>(hi - lo);
    for (std::int32_t& v : Data)
        v = Clamp(RoundDiv(l + (v - lo) * scale));
}

long long TIntegerMatrix::BoxSum(int x, int y, int k) const
{
    long long sum = 0;
    for (int dy = -k; dy <= k; ++dy)
        for (int dx = -k; dx <= k; ++dx)
            sum += Get(x + dx, y + dy);
    return sum;
}

void TIntegerMatrix::SimpleBlur(int r)
{
    if (r <= 0 || Data.empty()) return;
    const int k = r / 2;
    const double div = static_cast<double>(r) * r;
    std::vector<std::int32_t> out(Data.size());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            out[Index(x, y)] = Clamp(RoundDiv(BoxSum(x, y, k) / div));
    Data = std::move(out);
}

void TIntegerMatrix::Gaussian()
{
    for (int pass = 0; pass < 20; ++pass)
        for (int x = 0; x < Width; ++x)
            for (int y = 0; y < Height; ++y) {
                const long long up = y > 0 ? Data[Index(x, y - 1)] : 0;
                const long long down = y + 1 < Height ? Data[Index(x, y + 1)] : 0;
                Data[Index(x, y)] = Clamp(RoundDiv((up + Data[Index(x, y)] + down) / 3.0));
            }
}

void TIntegerMatrix::MovingBlur(int r)
{
    if (r <= 0 || Data.empty()) return;
    const int k = r / 2;
    const double div = static_cast<double>(r) * r;
    std::vector<std::int32_t> out(Data.size(), 0);
    if (Width > 2 * k && Height > 2 * k) {
        // Running sums of each column over the window's rows, moved down one row at a time.
        std::vector<long long> col(static_cast<std::size_t>(Width), 0);
        for (int x = 0; x < Width; ++x)
            for (int y = 0; y <= 2 * k; ++y)
                col[x] += Data[Index(x, y)];
        for (int y = k; y < Height - k; ++y) {
            if (y > k)
                for (int x = 0; x < Width; ++x)
                    col[x] += Data[Index(x, y + k)] - Data[Index(x, y - k - 1)];
            long long sum = 0;
            for (int x = 0; x <= 2 * k; ++x)
                sum += col[x];
            for (int x = k; x < Width - k; ++x) {
                if (x > k) sum += col[x + k] - col[x - k - 1];
                out[Index(x, y)] = Clamp(RoundDiv(sum / div));
            }
        }
    }
    Data = std::move(out);
}

void TIntegerMatrix::Gaussian2(int r)
{
    const int k = r / 2;
    if (k <= 0 || Width <= 2 * k || Height <= 2 * k) return;
    const std::vector<double> w = GaussianKernel(k);
    std::vector<double> across(Data.size());
    for (int y = 0; y < Height; ++y)
        for (int x = k; x < Width - k; ++x) {
            double s = 0;
            for (int i = -k; i <= k; ++i)
                s += w[i + k] * Data[Index(x + i, y)];
            across[Index(x, y)] = s;
        }
    std::vector<std::int32_t> out = Data;
    for (int y = k; y < Height - k; ++y)
        for (int x = k; x < Width - k; ++x) {
            double s = 0;
            for (int i = -k; i <= k; ++i)
                s += w[i + k] * across[Index(x, y + i)];
            out[Index(x, y)] = Clamp(RoundDiv(s));
        }
    Data = std::move(out);
}

void TIntegerMatrix::SineLerp()
{
    const int mx = GetMaxValue();
    if (mx <= 0) return;
    for (std::int32_t& v : Data)
        if (v >= 0)
            v = Clamp(RoundDiv(v * std::sin(static_cast<double>(v) / mx * std::numbers::pi / 2)));
}

} // namespace ff
