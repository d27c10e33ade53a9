// Brightwick as a whole process under Wine, over a day file of 10,000 records none of which is
// due, against an empty Windows program's start and exit in the same run. Both run through
// `wine` alternately, so a machine that slows down slows both. Under Wine a program's wall time
// comes in steps of about 50 ms, so a median hides a cost that shows as more slow runs: the
// figures that count are the ratios of the means, of the wall time and of the CPU time (user
// and system of the Wine process and what it waited for). Brightwick writes its logon history
// at every run, as at a logon. Peak memory is the resident high-water mark of each process.
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
    double cpuSeconds = 0;
    long peakKilobytes = 0;
    bool succeeded = false;  // ended by itself with exit status 0
    int status = 0;          // as wait4 gave it
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

void LauncherOverEmptyProgram(benchmark::State& state) {
    std::vector<double> launcher, empty, launcherCpu, emptyCpu, launcherPeak, emptyPeak;
    bool launcherFirst = true;
    for (auto _ : state) {
        // Turn about, so that neither always runs on the caches the other warmed.
        ProcessRun first = runUnderWine(launcherFirst ? setup.launcher : setup.empty);
        ProcessRun second = runUnderWine(launcherFirst ? setup.empty : setup.launcher);
        if (!launcherFirst) std::swap(first, second);
        launcherFirst = !launcherFirst;
        if (!first.succeeded || !second.succeeded) {
            const ProcessRun& failed = first.succeeded ? second : first;
            const std::string why =
                std::string(first.succeeded ? "the empty program" : "Brightwick") +
                " failed or did not end under Wine (wait status " + std::to_string(failed.status) +
                ")";
            state.SkipWithError(why.c_str());
            return;
        }
        state.SetIterationTime(first.seconds);
        launcher.push_back(first.seconds);
        empty.push_back(second.seconds);
        launcherCpu.push_back(first.cpuSeconds);
        emptyCpu.push_back(second.cpuSeconds);
        launcherPeak.push_back(static_cast<double>(first.peakKilobytes));
        emptyPeak.push_back(static_cast<double>(second.peakKilobytes));
    }
    state.counters["launcher_ms"] = mean(launcher) * 1e3;
    state.counters["empty_ms"] = mean(empty) * 1e3;
    state.counters["ratio_wall"] = mean(launcher) / mean(empty);
    state.counters["launcher_cpu_ms"] = mean(launcherCpu) * 1e3;
    state.counters["empty_cpu_ms"] = mean(emptyCpu) * 1e3;
    state.counters["ratio_cpu"] = mean(launcherCpu) / mean(emptyCpu);
    state.counters["ratio_median"] = median(launcher) / median(empty);
    state.counters["launcher_peak_KiB"] =
        *std::max_element(launcherPeak.begin(), launcherPeak.end());
    state.counters["empty_peak_KiB"] = *std::max_element(emptyPeak.begin(), emptyPeak.end());
}
BENCHMARK(LauncherOverEmptyProgram)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Repetitions(3);

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
