// Loading the component folder: 1,000 generated "S2P" files of 1,000 points
// each (about 100 MB) must load in well under 2 s.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CSParameterDB.h"
#include "Interaction.h"

namespace {

class QuietInteraction : public vantor::Interaction {
public:
    void message(const std::string&, vantor::MessageKind) override { ++messages; }
    vantor::Answer ask(const std::string&, vantor::Buttons) override { return vantor::Answer::Cancel; }
    int messages = 0;
};

// Full-precision data as vendors export it: a series R-L choke in RI form.
std::uintmax_t WriteFolder(const std::filesystem::path& dir, int files, int points) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::uintmax_t bytes = 0;
    std::string text;
    char line[512];
    for (int k = 0; k < files; ++k) {
        text = "! PART_NUMBER: GEN-" + std::to_string(k) + "\n! NOM_L=10uH\n! IMAX=1A\n# Hz S RI R 50\n";
        const double l = 1e-6 * (1 + k % 100);
        for (int i = 0; i < points; ++i) {
            const double f = 1e5 * std::pow(10.0, 4.5 * i / points);
            const double x = 6.283185308 * f * l, r = 0.05;
            // S21 = 100 / (Z + 100), S11 = Z / (Z + 100)
            const double d = (r + 100) * (r + 100) + x * x;
            const double s21r = 100 * (r + 100) / d, s21i = -100 * x / d;
            const double s11r = 1 - s21r, s11i = -s21i;
            std::snprintf(line, sizeof line, "%.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g %.12g\n", f, s11r, s11i,
                          s21r, s21i, s21r, s21i, s11r, s11i);
            text += line;
        }
        const std::filesystem::path p = dir / ("gen" + std::to_string(k) + ".s2p");
        std::FILE* out = std::fopen(p.string().c_str(), "wb");
        if (out == nullptr) return 0;
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
        bytes += text.size();
    }
    return bytes;
}

void BM_LoadDatabase(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const int points = static_cast<int>(state.range(1));
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vantor-bench-database";
    const std::uintmax_t bytes = WriteFolder(dir, files, points);
    if (bytes == 0) {
        state.SkipWithError("cannot write the generated folder");
        return;
    }
    for (auto _ : state) {
        vantor::CSParameterDB db;
        QuietInteraction ui;
        const int sets = db.LoadDatabase(dir, ui);
        if (sets != files || ui.messages != 0) state.SkipWithError("the generated folder did not load cleanly");
        benchmark::DoNotOptimize(db.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_LoadDatabase)->Args({1000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
