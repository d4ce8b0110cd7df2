// TIntegerMatrix: wrapped access, clamping, resampling, filters and blurs.
#include <gtest/gtest.h>

#include "persistence/ByteStream.h"
#include "rendering/IntegerMatrix.h"

namespace ff {
namespace {

// 4 x 4 with cell (x, y) = x + 10 y + 1 (no cell is 0).
TIntegerMatrix Grid4()
{
    TIntegerMatrix m(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            m.Set(x, y, x + 10 * y + 1);
    return m;
}

TEST(BitmapMatrixTest, CreationNeedsPositiveSizes)
{
    TIntegerMatrix ok(3, 2);
    EXPECT_TRUE(ok.DataInitialized);
    EXPECT_EQ(ok.Data.size(), 6u);
    EXPECT_FALSE(ok.IsSphere);
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 3}, {100000, 100000}}) {
        TIntegerMatrix m(w, h);
        EXPECT_FALSE(m.DataInitialized) << w << "x" << h;
        EXPECT_TRUE(m.Data.empty());
        EXPECT_EQ(m.Get(0, 0), 0);
        m.Set(0, 0, 7); // ignored, no crash
        m.FastSet(0, 0, 7);
    }
}

TEST(BitmapMatrixTest, ReadsWrapOnceAroundTheEdges)
{
    const TIntegerMatrix m = Grid4();
    struct
    {
        int x, y, expected;
    } cases[] = {
        {-1, 0, 4}, {8, 0, 0},  {4, 0, 1},  {0, -1, 31}, {-1, -1, 34}, {0, 7, 31},
        {3, 4, 4},  {-4, 0, 1}, {-5, 0, 0}, {0, 8, 0},   {2, 1, 13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.Get(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(m.FastGet(-1, 0, 99), 99);
    EXPECT_EQ(m.FastGet(4, 0, 99), 99);
    EXPECT_EQ(m.FastGet(3, 3, 99), 34);
}

TEST(BitmapMatrixTest, WritesWrapAndClamp)
{
    TIntegerMatrix m(4, 4);
    m.LowValue = -5;
    m.HighValue = 50;
    m.Set(-1, 0, 7);  // lands on (3, 0)
    m.Set(0, 4, 500); // lands on (0, 0), clamped
    m.Set(9, 9, 1);   // still outside: ignored
    m.FastSet(1, 1, -100);
    m.FastSet(4, 1, 3); // outside: ignored
    EXPECT_EQ(m.Get(3, 0), 7);
    EXPECT_EQ(m.Get(0, 0), 50);
    EXPECT_EQ(m.Get(1, 1), -5);
    EXPECT_EQ(m.GetMaxValue(), 50);
    EXPECT_EQ(m.GetMinValue(), -5);
    m.SetAllData(1000);
    EXPECT_EQ(m.GetMinValue(), 50);
}

TEST(BitmapMatrixTest, StreamRoundTripAndShortInput)
{
    const TIntegerMatrix m = Grid4();
    TMemoryStream s;
    ASSERT_TRUE(m.WriteToStream(s));
    EXPECT_EQ(s.Size(), 64);
    TIntegerMatrix back(4, 4);
    s.SetPosition(0);
    ASSERT_TRUE(back.ReadFromStream(s));
    EXPECT_EQ(back.Data, m.Data);

    TMemoryStream shortStream(std::string(63, '\x01'));
    TIntegerMatrix untouched = Grid4();
    EXPECT_FALSE(untouched.ReadFromStream(shortStream));
    EXPECT_EQ(untouched.Data, m.Data);
}

TEST(BitmapMatrixTest, MapFromTakesTheCellUnderTheScaledPosition)
{
    const TIntegerMatrix src = Grid4();
    TIntegerMatrix half(2, 2);
    half.MapFrom(src);
    EXPECT_EQ(half.Data, (std::vector<std::int32_t>{1, 3, 21, 23}));
    TIntegerMatrix dbl(8, 8);
    dbl.MapFrom(src);
    EXPECT_EQ(dbl.Get(3, 5), src.Get(1, 2));
}

TEST(BitmapMatrixTest, OptimizedMapMixesNeighbours)
{
    TIntegerMatrix src(2, 1);
    src.Set(0, 0, 0);
    src.Set(1, 0, 100);
    TIntegerMatrix dst(4, 1);
    dst.OptimizedMap(src);
    // Positions 0, 0.5, 1, 1.5; beyond the last cell the edge value stands.
    EXPECT_EQ(dst.Data, (std::vector<std::int32_t>{0, 50, 100, 100}));
}

TEST(BitmapMatrixTest, FilterShiftNormalize)
{
    TIntegerMatrix m = Grid4();
    const auto before = m.Data;
    m.Filter({0, 0, 0, 0, 1, 0, 0, 0, 0}, 1);
    EXPECT_EQ(m.Data, before);
    m.Filter({1, 1, 1}, 1); // too few values
    EXPECT_EQ(m.Data, before);

    TIntegerMatrix one(3, 3);
    one.Set(1, 1, 9);
    one.Filter({1, 1, 1, 1, 1, 1, 1, 1, 1}, 9);
    EXPECT_EQ(one.Data, std::vector<std::int32_t>(9, 1)); // 3 x 3 wraps onto every cell

    TIntegerMatrix s = Grid4();
    s.Shift(1, -1);
    EXPECT_EQ(s.Get(1, 0), Grid4().Get(0, 1));
    EXPECT_EQ(s.Get(0, 3), Grid4().Get(3, 0));

    TIntegerMatrix n = Grid4(); // 1..34
    n.Normalize(0, 66);
    EXPECT_EQ(n.GetMinValue(), 0);
    EXPECT_EQ(n.GetMaxValue(), 66);
    EXPECT_EQ(n.Get(1, 0), 2);
    n.Normalize(5, 5);
    EXPECT_EQ(n.Data, std::vector<std::int32_t>(16, 5));
}

TEST(BitmapMatrixTest, BoxBlursAgreeInsideAndMovingBlurZeroesTheBorder)
{
    TIntegerMatrix a(7, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            a.Set(x, y, (x * 37 + y * 91) % 50);
    TIntegerMatrix b = a;
    a.SimpleBlur(3);
    b.MovingBlur(3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool border = x < 1 || y < 1 || x > 5 || y > 4;
            if (border)
                EXPECT_EQ(b.Get(x, y), 0) << x << "," << y;
            else
                EXPECT_EQ(b.Get(x, y), a.Get(x, y)) << x << "," << y;
        }

    TIntegerMatrix c(3, 3);
    c.SetAllData(9);
    c.SimpleBlur(3); // window 3 x 3 divided by 9
    EXPECT_EQ(c.Data, std::vector<std::int32_t>(9, 9));
    c.SimpleBlur(2); // window 3 x 3 (2 div 2 = 1) divided by 4
    EXPECT_EQ(c.Get(1, 1), 20);
}

TEST(BitmapMatrixTest, GaussiansAndSineLerp)
{
    TIntegerMatrix g(5, 5);
    g.Set(2, 2, 1000);
    TIntegerMatrix border = g;
    g.Gaussian2(4); // radius 2: only the centre cell is inside
    EXPECT_LT(g.Get(2, 2), 1000);
    EXPECT_GT(g.Get(2, 2), 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g.Get(i, 0), border.Get(i, 0));
        EXPECT_EQ(g.Get(0, i), border.Get(0, i));
    }

    TIntegerMatrix v(1, 9);
    v.Set(0, 4, 900);
    v.Gaussian(); // spreads down the column, loses mass at the ends
    EXPECT_GT(v.Get(0, 8), 0);
    EXPECT_LT(v.Get(0, 4), 900);

    TIntegerMatrix s(3, 1);
    s.Set(0, 0, 100);
    s.Set(1, 0, 50);
    s.Set(2, 0, -3);
    s.SineLerp();
    EXPECT_EQ(s.Get(0, 0), 100); // sin(pi/2) = 1
    EXPECT_EQ(s.Get(1, 0), 35);  // 50 sin(pi/4) = 35.36
    EXPECT_EQ(s.Get(2, 0), -3);  // negative values are left alone
}

} // namespace
} // namespace ff
