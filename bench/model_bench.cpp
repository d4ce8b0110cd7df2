// The sheet document on a large sheet (5 pages of 1000 objects): field lookups, hit tests,
// rectangle selection, undo snapshots and unique names.
#include "model/ClassCSField.h"
#include "model/ClassCSShapes.h"
#include "model/ClassCSText.h"
#include "model/ClassCharSheet.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ff;

// Each page: a grid of 1000 objects, a quarter each of edits (named, every fourth computed),
// labels, boxes and lines, spread over the page.
std::unique_ptr<TCharacterSheet> BuildLargeSheet()
{
    auto sheet = std::make_unique<TCharacterSheet>();
    for (int p = 0; p < 5; ++p) {
        TCharacterSheetPage* page = p == 0 ? sheet->Pages[0].get() : sheet->NewPage();
        for (int i = 0; i < 1000; ++i) {
            const double x = 0.25 + (i % 25) * 0.32, y = 0.25 + (i / 25) * 0.26;
            std::unique_ptr<TCSObject> o;
            switch (i % 4) {
            case 0: {
                o = std::make_unique<TCSEdit>();
                o->FFieldName = "Field_" + std::to_string(p) + "_" + std::to_string(i);
                if (i % 16 == 0) o->SetFieldSource("max(Str, Dex) + 2");
                break;
            }
            case 1:
                o = std::make_unique<TCSText>();
                o->FText = "Label " + std::to_string(i);
                break;
            case 2:
                o = std::make_unique<TCSBox>();
                break;
            default:
                o = std::make_unique<TCSLine>();
                break;
            }
            if (o->FTypeID == CS_LINE) {
                o->AddPoint(x, y);
                o->AddPoint(x + 0.3, y);
            } else {
                o->AddPoint(x, y);
                o->AddPoint(x, y + 0.2);
                o->AddPoint(x + 0.3, y + 0.2);
                o->AddPoint(x + 0.3, y);
            }
            page->Objects.push_back(std::move(o));
        }
    }
    return sheet;
}

void BM_GetFieldHit(benchmark::State& state)
{
    auto sheet = BuildLargeSheet();
    const std::string names[] = {"field_4_996", "FIELD_0_0", "Field_2_500"};
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sheet->GetField(names[k]));
        k = (k + 1) % 3;
    }
}
BENCHMARK(BM_GetFieldHit);

void BM_GetFieldMiss(benchmark::State& state)
{
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->GetField("NoSuchField"));
}
BENCHMARK(BM_GetFieldMiss);

void BM_SelectObjectsMiss(benchmark::State& state)
{
    // A click where nothing lies: every object of the page is tested.
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->SelectObjects(8.4, 10.9, 5.0 / 96, false));
}
BENCHMARK(BM_SelectObjectsMiss);

void BM_SelectObjectsHitBottom(benchmark::State& state)
{
    // The first object of the page: found after testing all the others above it.
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->SelectObjects(0.26, 0.35, 5.0 / 96, false));
}
BENCHMARK(BM_SelectObjectsHitBottom);

void BM_SelectInRect(benchmark::State& state)
{
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        sheet->SelectInRect(1, 1, 5, 6);
}
BENCHMARK(BM_SelectInRect);

void BM_ModifySnapshot(benchmark::State& state)
{
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        sheet->Modify(); // after ten, each also frees the oldest snapshot
}
BENCHMARK(BM_ModifySnapshot)->Unit(benchmark::kMillisecond);

void BM_UniqueFieldName(benchmark::State& state)
{
    auto sheet = BuildLargeSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet->UniqueFieldName("Field_0_"));
}
BENCHMARK(BM_UniqueFieldName);

void BM_GetFieldAfterEdit(benchmark::State& state)
{
    // A lookup right after a change that invalidates the index: the rebuild cost.
    auto sheet = BuildLargeSheet();
    for (auto _ : state) {
        sheet->FieldNamesChanged();
        benchmark::DoNotOptimize(sheet->GetField("Field_2_500"));
    }
}
BENCHMARK(BM_GetFieldAfterEdit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
