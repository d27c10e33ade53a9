// Brightwick as a whole process under Wine against an empty Windows program's start and exit in
// the same run: over a day file of 10,000 records none of which is due, and over a typical day
// file of 20 records of which 5 are due, each starting the test probe. Both run through
// `wine` alternately, so a machine that slows down slows both. Under Wine a program's wall time
// comes in steps of about 50 ms, so a median hides a cost that shows as more slow runs: the
// figures that count are the ratios of the means, of the wall time and of the CPU time (user
// and system of the Wine process and what it waited for). Brightwick writes its logon history
// at every run, as at a logon. Peak memory is the resident high-water mark of each process.
//
// The due probes are waited for before the next run, so that neither program pays for them.
// At the end, one "@figure" line per ratio over every run for scripts/bench.sh's summary.
//
//   launcher_bench BRIGHTWICK_EXE EMPTY_EXE PROBE_EXE STARTS_ALONE_EXE [benchmark flags]
// run inside scripts/with-wine.sh, which supplies the prefix, the display and a warm server.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schedule/record.hpp"
#include "schedule/weekday.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 10'000;
constexpr int kTypicalRecords = 20;
constexpr int kTypicalDue = 5;
constexpr int kPairsRunAgain = 3;  // in one repetition, after a failure under Wine

struct Setup {
    std::string launcher;
    std::string empty;
    std::string startsAlone;  // the same due starts as Brightwick's typical day, and nothing else
    std::string probe;        // as Windows names it
    fs::path folder;          // the working folder of the runs over 10,000 records
    fs::path typicalDay;      // the working folder of the runs over a typical day
};
Setup setup;

std::string record(const std::string& time, const std::string& program,
                   const schedule::Weekday& day) {
    return schedule::formatRecord({time, program, "Normal", std::string(day.dayLine)});
}

// Every day's file alike, so the figure does not depend on the day it is taken. 23:45 is
// never due: the launcher reads and judges every record and starts nothing.
void writeDayFiles(const fs::path& folder) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        std::string bytes;
        for (int i = 0; i < kRecords; ++i) {
            bytes += record("23:45", "C:\\Program Files\\Example\\app" + std::to_string(i) + ".exe",
                            day);
        }
        std::ofstream(folder / day.dayFile, std::ios::binary) << bytes;
    }
}

// A day as most users have it: a few programs at logon, the rest later in the day. 00:00 is
// always due.
void writeTypicalDayFiles(const fs::path& folder) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        std::string bytes;
        for (int i = 0; i < kTypicalRecords; ++i) {
            bytes +=
                i % (kTypicalRecords / kTypicalDue) == 0
                    ? record("00:00", setup.probe, day)
                    : record("23:45",
                             "C:\\Program Files\\Example\\app" + std::to_string(i) + ".exe", day);
        }
        std::ofstream(folder / day.dayFile, std::ios::binary) << bytes;
    }
}

// Whole lines only: a probe may be writing its line right now.
std::size_t linesIn(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::size_t lines = 0;
    for (char c; in.get(c);) lines += c == '\n' ? 1 : 0;
    return lines;
}

// Waits until every probe started since the last call has written its line. The log stays: a
// probe that still held it open would write its line into a file removed under it, and the
// next wait would miss that line.
std::map<fs::path, std::size_t> probeLinesWritten;

bool probesEnded(const fs::path& folder) {
    std::size_t& expected = probeLinesWritten[folder];
    expected += static_cast<std::size_t>(kTypicalDue);
    const fs::path log = folder / "probe.log";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (linesIn(log) < expected) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Kills a process that has not ended in time: a launcher that cannot read its file waits for
// an answer to its message box that never comes.
class Watchdog {
  public:
    Watchdog(pid_t pid, std::chrono::seconds limit)
        : thread_([this, pid, limit] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, limit, [this] { return done_; })) kill(pid, SIGKILL);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

struct ProcessRun {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKilobytes = 0;
    bool succeeded = false;  // ended by itself with exit status 0
    int status = 0;          // as wait4 gave it
};

ProcessRun runUnderWine(const std::string& program, const fs::path& folder) {
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp("wine", "wine", program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    {
        Watchdog watchdog(pid, std::chrono::seconds(60));
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto toSeconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    run.cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    run.peakKilobytes = usage.ru_maxrss;
    run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.status = status;
    return run;
}

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (const double value : values) sum += value;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Every run of each benchmark, across its repetitions, for the figures at the end.
struct Samples {
    std::vector<double> launcher, empty, launcherCpu, emptyCpu;
    int runAgain = 0;  // pairs run again after a failure under Wine
};
std::map<std::string, Samples> samples;

// Brightwick against `baseline`, which stands where the empty program is named below.
void launcherOverEmptyProgram(benchmark::State& state, const char* name, const fs::path& folder,
                              bool dueProbes, const std::string& baseline = setup.empty) {
    // Whether the baseline starts the due probes too, so that they must end before the next run.
    const bool baselineStarts = baseline == setup.startsAlone;
    std::vector<double> launcher, empty, launcherCpu, emptyCpu, launcherPeak, emptyPeak;
    Samples& all = samples[name];
    // Counted afresh at each repetition: a probe line that never came ends its own repetition,
    // not every one after it.
    if (dueProbes) probeLinesWritten[folder] = linesIn(folder / "probe.log");
    bool launcherFirst = true;
    int runAgain = 0;
    for (auto _ : state) {
        ProcessRun first, second;  // Brightwick's run and the baseline's
        for (;;) {
            // Turn about, so that neither always runs on the caches the other warmed.
            ProcessRun& earlier = launcherFirst ? first : second;
            ProcessRun& later = launcherFirst ? second : first;
            std::string failure;
            const auto run = [&](ProcessRun& into, bool isLauncher) {
                into = runUnderWine(isLauncher ? setup.launcher : baseline, folder);
                if (into.succeeded && (isLauncher ? dueProbes : baselineStarts) &&
                    !probesEnded(folder)) {
                    into.succeeded = false;
                }
                if (!into.succeeded) {
                    failure = std::string(isLauncher ? "Brightwick" : "the baseline") +
                              " failed or did not end under Wine, or a due probe did not run "
                              "(wait status " +
                              std::to_string(into.status) + ")";
                }
                return into.succeeded;
            };
            const bool ran = run(earlier, launcherFirst) && run(later, !launcherFirst);
            launcherFirst = !launcherFirst;
            if (ran) break;
            // Wine now and then fails to make a process (about once in 1,200 starts here:
            // CreateProcessW fails with ERROR_INTERNAL_ERROR, or a program reported as started
            // never writes its line). Such a pair is run again; a fault that comes back is
            // reported.
            if (++runAgain > kPairsRunAgain) {
                failure += ", more than " + std::to_string(kPairsRunAgain) + " times";
                state.SkipWithError(failure.c_str());
                return;
            }
            if (dueProbes) {
                // A probe that is still on its way would be counted for the next pair.
                std::this_thread::sleep_for(std::chrono::seconds(2));
                probeLinesWritten[folder] = linesIn(folder / "probe.log");
            }
        }
        state.SetIterationTime(first.seconds);
        launcher.push_back(first.seconds);
        empty.push_back(second.seconds);
        launcherCpu.push_back(first.cpuSeconds);
        emptyCpu.push_back(second.cpuSeconds);
        launcherPeak.push_back(static_cast<double>(first.peakKilobytes));
        emptyPeak.push_back(static_cast<double>(second.peakKilobytes));
    }
    all.runAgain += runAgain;
    all.launcher.insert(all.launcher.end(), launcher.begin(), launcher.end());
    all.empty.insert(all.empty.end(), empty.begin(), empty.end());
    all.launcherCpu.insert(all.launcherCpu.end(), launcherCpu.begin(), launcherCpu.end());
    all.emptyCpu.insert(all.emptyCpu.end(), emptyCpu.begin(), emptyCpu.end());
    state.counters["launcher_ms"] = mean(launcher) * 1e3;
    state.counters["empty_ms"] = mean(empty) * 1e3;
    state.counters["ratio_wall"] = mean(launcher) / mean(empty);
    state.counters["launcher_cpu_ms"] = mean(launcherCpu) * 1e3;
    state.counters["empty_cpu_ms"] = mean(emptyCpu) * 1e3;
    state.counters["ratio_cpu"] = mean(launcherCpu) / mean(emptyCpu);
    state.counters["pairs_run_again"] = runAgain;
    state.counters["ratio_median"] = median(launcher) / median(empty);
    state.counters["launcher_peak_KiB"] =
        *std::max_element(launcherPeak.begin(), launcherPeak.end());
    state.counters["empty_peak_KiB"] = *std::max_element(emptyPeak.begin(), emptyPeak.end());
}

void LauncherOver10000RecordsNoneDue(benchmark::State& state) {
    launcherOverEmptyProgram(state, "many", setup.folder, false);
}
void LauncherOverTypicalDay(benchmark::State& state) {
    launcherOverEmptyProgram(state, "typical", setup.typicalDay, true);
}
// Under Wine every start waits for the new process to start up, which no program that starts
// five can avoid: against the same five starts alone, what is left is Brightwick's own.
void LauncherOverTypicalDayAgainstItsStarts(benchmark::State& state) {
    launcherOverEmptyProgram(state, "typical-starts", setup.typicalDay, true, setup.startsAlone);
}
BENCHMARK(LauncherOver10000RecordsNoneDue)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3);
BENCHMARK(LauncherOverTypicalDay)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3);
BENCHMARK(LauncherOverTypicalDayAgainstItsStarts)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3);

void printFigures() {
    // The typical day is judged against its own five starts: under Wine each start waits for
    // the new process, so against the empty program it only shows what the starts cost.
    const struct {
        const char* benchmark;
        const char* what;
        const char* limit;  // "-": reported, not judged
    } figures[] = {
        {"many", "Brightwick, 10,000 records none due", "1.05"},
        {"typical", "Brightwick, 20 records 5 due", "-"},
        {"typical-starts", "Brightwick, 20 records 5 due, against its 5 starts alone", "1.03"},
    };
    for (const auto& figure : figures) {
        const auto found = samples.find(figure.benchmark);
        if (found == samples.end() || found->second.launcher.empty()) continue;
        const Samples& runs = found->second;
        // The number of runs goes in the detail: the name must stay the same from run to run
        // for the script's median of the last three.
        std::printf(
            "@figure|%s: wall, ratio of means|%.3f|%s|%.1f / %.1f ms, %zu runs, %d run again\n",
            figure.what, mean(runs.launcher) / mean(runs.empty), figure.limit,
            mean(runs.launcher) * 1e3, mean(runs.empty) * 1e3, runs.launcher.size(), runs.runAgain);
        std::printf("@figure|%s: CPU, ratio of means|%.3f|%s|%.1f / %.1f ms, %zu runs\n",
                    figure.what, mean(runs.launcherCpu) / mean(runs.emptyCpu), figure.limit,
                    mean(runs.launcherCpu) * 1e3, mean(runs.emptyCpu) * 1e3, runs.launcher.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: %s BRIGHTWICK_EXE EMPTY_EXE PROBE_EXE STARTS_ALONE_EXE "
                     "[benchmark flags]\n",
                     argv[0]);
        return 2;
    }
    setup.launcher = fs::absolute(argv[1]).string();
    setup.empty = fs::absolute(argv[2]).string();
    // Wine shows the Unix root as drive Z:.
    setup.probe = "Z:" + fs::absolute(argv[3]).string();
    std::replace(setup.probe.begin(), setup.probe.end(), '/', '\\');
    setup.startsAlone = fs::absolute(argv[4]).string();
    // Inherited by every run; only the starts-alone program reads them.
    setenv("NORVELL_BENCH_PROGRAM", setup.probe.c_str(), 1);
    setenv("NORVELL_BENCH_STARTS", std::to_string(kTypicalDue).c_str(), 1);
    const fs::path root =
        fs::temp_directory_path() / ("brightwick-bench-" + std::to_string(getpid()));
    setup.folder = root / "many";
    setup.typicalDay = root / "typical";
    fs::create_directories(setup.folder);
    fs::create_directories(setup.typicalDay);
    // Wine runs as a user of its own when this runs as root (scripts/with-wine.sh): Brightwick
    // writes its history and the probe its runs into these folders.
    for (const fs::path& made : {root, setup.folder, setup.typicalDay}) {
        fs::permissions(made, fs::perms::all);
    }
    writeDayFiles(setup.folder);
    writeTypicalDayFiles(setup.typicalDay);
    // One run of each first: Wine maps a program it has not seen slowly, and a launcher that
    // cannot read its file would make every figure meaningless.
    const bool ready = runUnderWine(setup.launcher, setup.folder).succeeded &&
                       runUnderWine(setup.empty, setup.folder).succeeded &&
                       runUnderWine(setup.launcher, setup.typicalDay).succeeded &&
                       probesEnded(setup.typicalDay);
    if (ready) {
        benchmark::RunSpecifiedBenchmarks();
        std::fflush(stdout);
        printFigures();
    } else {
        std::fprintf(stderr,
                     "Brightwick, the empty program or the probe did not run cleanly under Wine\n");
    }
    benchmark::Shutdown();
    fs::remove_all(root);
    return ready ? 0 : 1;
}
