// Compile and evaluation time of typical field sources, with the variables read through the
// lookup callback, next to muparser evaluating the numeric ones with the same variables.
// The counter "allocs" is the number of heap allocations per iteration.
#include "expression/KELDExpression.h"
#include "support/Text.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

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

namespace {

struct TSource
{
    const char* Ours;
    const char* MuParser; // nullptr: not numeric
};

const TSource kSources[] = {
    {"Str + 2", "Str + 2"},
    {"max(Str, Dex) + 2", "max(Str, Dex) + 2"},
    {"if(Lvl > 5, 3, 2)", "Lvl > 5 ? 3 : 2"},
    {"round((Str - 10) / 2 - 0.5)", "rint((Str - 10) / 2 - 0.5)"},
    {"Name + ' the ' + Title", nullptr},
};

// A few fields as a sheet's lookup would see them: names compare ignoring case.
struct TFields
{
    struct TField
    {
        std::string Name;
        double Number;
        const char* Text; // nullptr: a number
    };
    TField Items[5] = {{"Str", 14, nullptr},
                       {"Dex", 17, nullptr},
                       {"Lvl", 7, nullptr},
                       {"Name", 0, "Ayla"},
                       {"Title", 0, "Bold"}};

    static bool Get(void* p, const std::string& sName, ff::TToken& tVal)
    {
        for (const TField& f : static_cast<TFields*>(p)->Items) {
            if (!ff::SameText(f.Name, sName)) continue;
            if (f.Text) {
                tVal.TypeID = ff::tkText;
                tVal.SetTextVal(f.Text);
            } else {
                tVal.TypeID = ff::tkNumber;
                tVal.SetDblVal(f.Number);
            }
            return true;
        }
        return false;
    }
};

void SetAllocCounter(benchmark::State& state, long nAllocs)
{
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(nAllocs), benchmark::Counter::kAvgIterations);
}

void BM_Compile(benchmark::State& state)
{
    const TSource& src = kSources[state.range(0)];
    ff::TKELDExpression ex;
    const long nBefore = gAllocations.load();
    for (auto _ : state) {
        ex.SetExpression(src.Ours);
        benchmark::DoNotOptimize(ex.Compile());
    }
    SetAllocCounter(state, gAllocations.load() - nBefore);
    state.SetLabel(src.Ours);
}

void BM_Evaluate(benchmark::State& state)
{
    const TSource& src = kSources[state.range(0)];
    TFields fields;
    ff::TKELDExpression ex;
    ex.GetVariable = {TFields::Get, &fields};
    ex.SetExpression(src.Ours);
    if (!ex.Execute()) {
        state.SkipWithError(ex.ErrorMsg.c_str());
        return;
    }
    const long nBefore = gAllocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ex.Execute());
        benchmark::DoNotOptimize(ex.Answer.FDblVal);
    }
    SetAllocCounter(state, gAllocations.load() - nBefore);
    state.SetLabel(src.Ours);
}

// The part of an evaluation that is the lookup callback itself: one name resolved.
void BM_LookupCallback(benchmark::State& state)
{
    TFields fields;
    ff::TToken tk;
    const std::string sName = "Dex";
    for (auto _ : state) {
        tk.DataType = ff::dtUndef;
        benchmark::DoNotOptimize(TFields::Get(&fields, sName, tk));
        benchmark::DoNotOptimize(tk.FDblVal);
    }
}

void BM_MuParser(benchmark::State& state)
{
    const TSource& src = kSources[state.range(0)];
    double dStr = 14, dDex = 17, dLvl = 7;
    mu::Parser p;
    try {
        p.DefineVar("Str", &dStr);
        p.DefineVar("Dex", &dDex);
        p.DefineVar("Lvl", &dLvl);
        p.SetExpr(src.MuParser);
        p.Eval(); // builds the byte code
    } catch (const mu::Parser::exception_type& e) {
        state.SkipWithError(e.GetMsg().c_str());
        return;
    }
    const long nBefore = gAllocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(p.Eval());
    SetAllocCounter(state, gAllocations.load() - nBefore);
    state.SetLabel(src.MuParser);
}

} // namespace

BENCHMARK(BM_Compile)->DenseRange(0, 4);
BENCHMARK(BM_Evaluate)->DenseRange(0, 4);
BENCHMARK(BM_LookupCallback);
BENCHMARK(BM_MuParser)->DenseRange(0, 3);

BENCHMARK_MAIN();
