// Loading and saving sheet definitions and importing CSV files, in MB/s. Goals: load and save
// >= 200 MB/s (a sheet of 5 pages x 1000 objects plus a 2 MB image), CSV >= 50 MB/s.
#include "model/ClassCharSheet.h"
#include "persistence/CSVReader.h"
#include "persistence/ClassCSDataStore.h"
#include "support/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

using namespace ff;

void FillSheet(TCharacterSheet& sh)
{
    std::mt19937 rng(42);
    sh.Pages.clear();
    for (int p = 0; p < 5; ++p) {
        TCharacterSheetPage* page = sh.NewPage();
        page->Name = "Page " + std::to_string(p + 1);
        for (int i = 0; i < 1000; ++i) {
            auto o = NewCSObject(i % 9);
            o->FFieldName = "Field" + std::to_string(p * 1000 + i);
            o->FText = "Value " + std::to_string(rng() % 100000);
            o->FList = i % 7 == 0 ? "Classes" : "";
            if (i % 5 == 0) o->FFieldSource = "js:Field" + std::to_string(i) + " + 1";
            for (int k = 0; k < (i % 9 == 0 || i % 9 == 6 ? 2 : 4); ++k)
                o->AddPoint(0.125 * k, 0.25 * i / 100.0);
            page->Objects.push_back(std::move(o));
        }
    }
    std::string image(2 * 1024 * 1024, '\0');
    for (auto& c : image)
        c = static_cast<char>(rng());
    auto img = NewCSObject(CS_IMAGE);
    img->Image = std::make_unique<TMemoryStream>(std::move(image));
    sh.Pages[0]->Objects.push_back(std::move(img));
}

std::string SavedBytes()
{
    TCharacterSheet sh;
    FillSheet(sh);
    TMemoryStream ms;
    sh.SaveToStream(ms);
    return ms.Bytes();
}

void BM_SaveSheet(benchmark::State& state)
{
    TCharacterSheet sh;
    FillSheet(sh);
    std::int64_t nBytes = 0;
    for (auto _ : state) {
        TMemoryStream ms;
        if (!sh.SaveToStream(ms)) state.SkipWithError("save failed");
        nBytes = ms.Size();
        benchmark::DoNotOptimize(ms.Bytes().data());
    }
    state.SetBytesProcessed(state.iterations() * nBytes);
}
BENCHMARK(BM_SaveSheet)->Unit(benchmark::kMillisecond);

void BM_LoadSheet(benchmark::State& state)
{
    const std::string bytes = SavedBytes();
    for (auto _ : state) {
        TCharacterSheet sh;
        sh.DesignMode = true;
        TMemoryStream ms(bytes);
        if (!sh.LoadFromStream(ms)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(sh.Pages.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadSheet)->Unit(benchmark::kMillisecond);

// Through the file system: the atomic save (temporary file, fsync, rename) and the whole load.
void BM_SaveToFile(benchmark::State& state)
{
    TCharacterSheet sh;
    FillSheet(sh);
    std::string sFile = (std::filesystem::temp_directory_path() / "ff_files_bench.csd").string();
    for (auto _ : state)
        if (!sh.SaveToFile(sFile)) state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(sFile)));
    std::filesystem::remove(sFile);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state)
{
    std::string sFile = (std::filesystem::temp_directory_path() / "ff_files_bench2.csd").string();
    std::string bytes = SavedBytes();
    std::string sError;
    WriteFileAtomically(sFile, bytes, sError);
    TCharacterSheet sh;
    sh.DesignMode = true;
    for (auto _ : state)
        if (!sh.LoadFromFile(sFile)) state.SkipWithError("load failed");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    std::filesystem::remove(sFile);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

std::string CsvText()
{
    std::string s = "Name,Damage,Cost,Weight,Properties,Notes\r\n";
    for (int i = 0; i < 10000; ++i)
        s += "Weapon " + std::to_string(i) + ",1d" + std::to_string(4 + i % 9) + "," +
             std::to_string(i % 500) + " gp, " + std::to_string(i % 20) +
             " lb ,\"finesse, light, thrown\",Caf\xE9 note number " + std::to_string(i) + "\r\n";
    return s;
}

void BM_CsvParse(benchmark::State& state)
{
    const std::string csv = CsvText();
    for (auto _ : state) {
        TCSVReader r;
        r.LoadFromBytes(csv);
        benchmark::DoNotOptimize(r.cells.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(csv.size()));
}
BENCHMARK(BM_CsvParse)->Unit(benchmark::kMillisecond);

// A data store import from disk: read, parse, convert to UTF-8.
void BM_CsvImportFile(benchmark::State& state)
{
    const std::string csv = CsvText();
    std::string sFile = (std::filesystem::temp_directory_path() / "ff_files_bench.csv").string();
    std::string sError;
    WriteFileAtomically(sFile, csv, sError);
    for (auto _ : state) {
        TCSDataStore ds;
        if (!ds.LoadFromCSV(sFile)) state.SkipWithError("import failed");
        benchmark::DoNotOptimize(ds.cells.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(csv.size()));
    std::filesystem::remove(sFile);
}
BENCHMARK(BM_CsvImportFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
