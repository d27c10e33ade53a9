// Brightwick as a whole process under Wine, over a day file of 10,000 records none of which is
// due, against an empty Windows program's start and exit in the same run. Both run through
// `wine` alternately, so a machine that slows down slows both; the figure that counts is the
// ratio of their medians. Peak memory is the resident high-water mark of each Wine process.
//
//   launcher_bench BRIGHTWICK_EXE EMPTY_EXE [benchmark flags]
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
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schedule/record.hpp"
#include "schedule/weekday.hpp"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 10'000;

struct Setup {
    std::string launcher;
    std::string empty;
    fs::path folder;  // the working folder of both, holding the seven day files
};
Setup setup;

// Every day's file alike, so the figure does not depend on the day it is taken. 23:45 is
// never due: the launcher reads and judges every record and starts nothing.
void writeDayFiles(const fs::path& folder) {
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        std::string bytes;
        for (int i = 0; i < kRecords; ++i) {
            bytes += schedule::formatRecord(
                {"23:45", "C:\\Program Files\\Example\\app" + std::to_string(i) + ".exe", "Normal",
                 std::string(day.dayLine)});
        }
        std::ofstream(folder / day.dayFile, std::ios::binary) << bytes;
    }
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
    long peakKilobytes = 0;
    bool succeeded = false;  // ended by itself with exit status 0
};

ProcessRun runUnderWine(const std::string& program) {
    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        if (chdir(setup.folder.c_str()) != 0) _exit(126);
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
    run.peakKilobytes = usage.ru_maxrss;
    run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void LauncherOverEmptyProgram(benchmark::State& state) {
    std::vector<double> launcher, empty, launcherPeak, emptyPeak;
    bool launcherFirst = true;
    for (auto _ : state) {
        // Turn about, so that neither always runs on the caches the other warmed.
        ProcessRun first = runUnderWine(launcherFirst ? setup.launcher : setup.empty);
        ProcessRun second = runUnderWine(launcherFirst ? setup.empty : setup.launcher);
        if (!launcherFirst) std::swap(first, second);
        launcherFirst = !launcherFirst;
        if (!first.succeeded || !second.succeeded) {
            state.SkipWithError("a program failed or did not end under Wine");
            return;
        }
        state.SetIterationTime(first.seconds);
        launcher.push_back(first.seconds);
        empty.push_back(second.seconds);
        launcherPeak.push_back(static_cast<double>(first.peakKilobytes));
        emptyPeak.push_back(static_cast<double>(second.peakKilobytes));
    }
    state.counters["launcher_ms"] = median(launcher) * 1e3;
    state.counters["empty_ms"] = median(empty) * 1e3;
    state.counters["ratio"] = median(launcher) / median(empty);
    state.counters["launcher_peak_KiB"] =
        *std::max_element(launcherPeak.begin(), launcherPeak.end());
    state.counters["empty_peak_KiB"] = *std::max_element(emptyPeak.begin(), emptyPeak.end());
}
BENCHMARK(LauncherOverEmptyProgram)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BRIGHTWICK_EXE EMPTY_EXE [benchmark flags]\n", argv[0]);
        return 2;
    }
    setup.launcher = fs::absolute(argv[1]).string();
    setup.empty = fs::absolute(argv[2]).string();
    setup.folder = fs::temp_directory_path() / ("brightwick-bench-" + std::to_string(getpid()));
    fs::create_directories(setup.folder);
    writeDayFiles(setup.folder);
    // One run of each first: Wine maps a program it has not seen slowly, and a launcher that
    // cannot read its file would make every figure meaningless.
    const bool ready =
        runUnderWine(setup.launcher).succeeded && runUnderWine(setup.empty).succeeded;
    if (ready) {
        benchmark::RunSpecifiedBenchmarks();
    } else {
        std::fprintf(stderr, "Brightwick or the empty program did not run cleanly under Wine\n");
    }
    benchmark::Shutdown();
    fs::remove_all(setup.folder);
    return ready ? 0 : 1;
}
