// Combining 10,000 pick files into the day files, against the input/output floor: reading
// the same files and writing their bytes once, with no parsing, sorting or renaming.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "pick_folder.hpp"
#include "schedule/helpers.hpp"
#include "std_folder.hpp"

namespace {

const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        auto made = std::filesystem::temp_directory_path() / "norvell-combine-bench";
        std::filesystem::remove_all(made);
        std::filesystem::create_directories(made);
        for (const auto& [name, bytes] : bench::pickFiles()) {
            std::ofstream(made / name, std::ios::binary) << bytes;
        }
        return made;
    }();
    return path;
}

void Combine(benchmark::State& state) {
    bench::StdFolder pickFolder(folder());
    for (auto _ : state) {
        const schedule::HelperReport report = schedule::combinePickFiles(pickFolder);
        if (report.status != schedule::kHelperDone) state.SkipWithError("combining failed");
    }
}

void IoFloor(benchmark::State& state) {
    for (auto _ : state) {
        std::map<char, std::string> days;  // by the first letter of the day code, enough to split
        for (const auto& entry : std::filesystem::directory_iterator(folder())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("dat", 0) == 0) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            days[name[name.size() - 7]].append(std::istreambuf_iterator<char>(in), {});
        }
        // Beside the pick folder, so the next round does not read them as input.
        for (const auto& [letter, bytes] : days) {
            std::ofstream(folder().string() + "-floor" + letter, std::ios::binary) << bytes;
        }
    }
}

BENCHMARK(Combine)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(IoFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the ratio of the two after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (times_.count("Combine") && times_.count("IoFloor")) {
            std::printf("combine / input-output floor = %.2f\n",
                        times_["Combine"] / times_["IoFloor"]);
            std::printf("@figure|Combining 10,000 pick files / input-output floor, host|%.3f|-|\n",
                        times_["Combine"] / times_["IoFloor"]);
        }
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::filesystem::remove_all(folder());
    for (const char letter : std::string("MTWFS")) {
        std::filesystem::remove(folder().string() + "-floor" + letter);
    }
    return 0;
}
