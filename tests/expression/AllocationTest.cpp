// Evaluating a compiled numeric expression must not touch the heap: the engine reuses its value
// tokens. Global operator new is replaced in this test program to count allocations.
#include "ExprTestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t n)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace ff::test {
namespace {

bool Stat(void*, const std::string& sName, TToken& tVal)
{
    tVal.TypeID = tkNumber;
    tVal.SetDblVal(sName == "Str" ? 14 : sName == "Dex" ? 17 : 7);
    return true;
}

TEST(AllocationTest, NumericEvaluationDoesNotAllocate)
{
    const char* sources[] = {"Str + 2",
                             "max(Str, Dex) + 2",
                             "if(Lvl > 5, 3, 2)",
                             "round((Str - 10) / 2 - 0.5)",
                             "-Str ^ 2 % 7 + abs(Dex - 20) * sign(Lvl) + floor(Dex / 3)",
                             "(Str > 10) and not (Dex < 3)"};
    for (const char* s : sources) {
        TKELDExpression ex;
        ex.GetVariable = {Stat, nullptr};
        ex.SetExpression(s);
        ASSERT_TRUE(ex.Execute()) << s << ": " << ex.ErrorMsg; // compiles and warms up
        const long nBefore = gAllocations.load();
        bool bAll = true;
        for (int i = 0; i < 100; ++i)
            bAll = ex.Execute() && bAll;
        const long nAllocs = gAllocations.load() - nBefore;
        EXPECT_TRUE(bAll) << s;
        EXPECT_EQ(nAllocs, 0) << s;
    }
}

TEST(AllocationTest, CountingWorks)
{
    // The counter sees what the engine would allocate, so the zero above means something.
    const long nBefore = gAllocations.load();
    TKELDExpression ex;
    ex.SetExpression("1 + 2");
    ASSERT_TRUE(ex.Execute());
    EXPECT_GT(gAllocations.load() - nBefore, 0);
}

} // namespace
} // namespace ff::test
