// The launcher's pass over any day file at any hour: only due records with a known run style
// start, in file order, each with its program line byte for byte and its run style's window;
// nothing starts from an incomplete last record, a failed start stops nothing, and the report
// the logon history is written from says the same; and read in parts, the pass is the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "check.hpp"
#include "launcher/pass.hpp"
#include "reference.hpp"

namespace {

// The number at the start of a short text: blanks skipped, a sign allowed, reading stops at
// the first character that cannot go on with the number; 0 without a digit.
long long number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    int sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? -1 : 1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == ' ' || text[i] == '\t') continue;
        if (text[i] < '0' || text[i] > '9') break;
        value = value * 10 + (text[i] - '0');
    }
    return sign * value;
}

// Characters first .. first+1 (1-based) of the line, fewer when it is shorter.
long long numberAt(const std::string& line, std::size_t first) {
    if (line.size() < first) return 0;
    return number(std::string_view(line).substr(first - 1, 2));
}

bool due(const std::string& timeLine, int hour) {
    const long long recordHour = numberAt(timeLine, 1);
    return numberAt(timeLine, 4) == 0 ? hour >= recordHour : hour >= recordHour + 1;
}

int showWindow(const std::string& style) {
    if (style == "Normal") return 1;
    if (style == "Max") return 3;
    if (style == "Hide") return 0;
    if (style == "Min") return 6;
    return -1;
}

class Starter final : public launcher::ProgramStarter {
  public:
    explicit Starter(std::uint8_t failures) : failures_(failures) {}
    std::vector<std::pair<std::string, int>> starts;
    launcher::StartResult start(std::string_view programLine, int show) override {
        starts.emplace_back(std::string(programLine), show);
        // Some starts fail, by the input's own pattern.
        if ((failures_ >> (starts.size() % 8)) & 1) {
            return {schedule::Outcome::failure("gone"), launcher::StartWay::program};
        }
        return {schedule::Outcome::success(), launcher::StartWay::program};
    }

  private:
    std::uint8_t failures_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int hour = data[0] % 24;
    const std::uint8_t failures = data[1];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    Starter starter(failures);
    const launcher::PassReport report = launcher::runRecords(hour, bytes, starter);

    const std::vector<std::string> all = reference::lines(bytes);
    std::vector<std::pair<std::string, int>> expected;
    int failed = 0;
    int notYetDue = 0;
    for (std::size_t first = 0; first + 4 <= all.size(); first += 4) {
        if (!due(all[first], hour)) {
            ++notYetDue;
            continue;
        }
        const int show = showWindow(all[first + 2]);
        if (show < 0) continue;
        expected.emplace_back(all[first + 1], show);
        if ((failures >> (expected.size() % 8)) & 1) ++failed;
    }
    FUZZ_CHECK(starter.starts == expected);
    FUZZ_CHECK(report.records == static_cast<int>(all.size() / 4));
    FUZZ_CHECK(report.starts == static_cast<int>(expected.size()));
    FUZZ_CHECK(report.failed == failed);
    FUZZ_CHECK(report.incompleteLastRecord == (all.size() % 4 != 0));
    FUZZ_CHECK(report.incompleteLines == static_cast<int>(all.size() % 4));
    FUZZ_CHECK(report.notYetDue == notYetDue);
    // The history's account: every due record, in file order, with what became of it.
    std::size_t started = 0;
    for (const launcher::DueRecord& record : report.due) {
        if (!record.showWindow) continue;
        FUZZ_CHECK(started < expected.size() && record.programLine == expected[started].first &&
                   *record.showWindow == expected[started].second);
        ++started;
    }
    FUZZ_CHECK(started == expected.size());

    // Read in parts, as the launcher reads its file, the pass is the same.
    const std::size_t partSize = data[0] / 24 + 1;
    launcher::DayFileReader reader(hour);
    for (std::size_t at = 0; at < bytes.size(); at += partSize) {
        reader.take(bytes.substr(at, partSize));
    }
    launcher::PassReport parts = reader.finish();
    Starter partStarter(failures);
    launcher::startDue(parts, partStarter);
    FUZZ_CHECK(partStarter.starts == starter.starts);
    FUZZ_CHECK(parts.records == report.records && parts.notYetDue == report.notYetDue &&
               parts.starts == report.starts && parts.failed == report.failed &&
               parts.incompleteLines == report.incompleteLines &&
               parts.due.size() == report.due.size());
    return 0;
}
