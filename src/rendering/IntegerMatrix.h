// TIntegerMatrix: a grid of clamped 32-bit integers with the resampling and blur steps the
// image filters use (masks, height fields).
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace ff {

class TStream;

class TIntegerMatrix
{
public:
    TIntegerMatrix() = default;
    // x by y cells of 0 when both are positive (and the cell count is sane); otherwise no storage.
    TIntegerMatrix(int x, int y);

    std::vector<std::int32_t> Data; // Width x Height values, row after row
    int Width = 0;
    int Height = 0;
    bool DataInitialized = false;
    int HighValue = std::numeric_limits<std::int32_t>::max();
    int LowValue = std::numeric_limits<std::int32_t>::min();
    bool IsSphere = false;

    // Coordinates wrap once around the edges (-1 is the last column, Width the first); still
    // outside gives 0 and writes are ignored. Writes clamp to LowValue..HighValue.
    int Get(int x, int y) const;
    void Set(int x, int y, int v);
    int FastGet(int x, int y, int nDefault) const
    {
        return Inside(x, y) ? Data[Index(x, y)] : nDefault;
    }
    // Clamped write without wrapping; coordinates outside the matrix are ignored.
    void FastSet(int x, int y, int v)
    {
        if (Inside(x, y)) Data[Index(x, y)] = Clamp(v);
    }

    void SetAllData(int v);
    int GetMaxValue() const; // 0 without storage
    int GetMinValue() const;
    // The raw values, 4 bytes each, little-endian.
    bool WriteToStream(TStream& s) const;
    // Reads Width x Height values; false (and nothing changed) when too few bytes remain.
    bool ReadFromStream(TStream& s);

    // Resample m onto this matrix's size: nearest cell, or bilinear mix of the four cells.
    void MapFrom(const TIntegerMatrix& m);
    void OptimizedMap(const TIntegerMatrix& m);
    // 3 x 3 convolution with nine kernel values (row after row), each sum divided by nDivisor
    // and rounded; fewer values do nothing.
    void Filter(const std::vector<int>& kernel, int nDivisor);
    // Moves the contents by (dx, dy) with wrap-around.
    void Shift(int dx, int dy);
    // Linear rescale from min..max onto l..h.
    void Normalize(int l, int h);
    void SimpleBlur(int r);
    void Gaussian();
    void MovingBlur(int r);
    void Gaussian2(int r);
    void SineLerp();

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * Width + x; }
    std::int32_t Clamp(long long v) const;
    // Box sum of the (2k+1)-wide window around (x, y), cells read with wrap-around.
    long long BoxSum(int x, int y, int k) const;
};

// Gaussian weights over the offsets -radius..radius, summing to 1.
std::vector<double> GaussianKernel(int radius);

} // namespace ff
