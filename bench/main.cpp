// springlattice-bench: Google Benchmark with a Qt application for the window
// benchmarks, and the ratios of the performance targets printed after the
// results, each from the runs of this one invocation. The standard flags
// work: --benchmark_format picks the table, JSON or CSV (the ratios then go
// to standard error, leaving standard output to the format), and
// --benchmark_out writes a file as well.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "scenes.h"

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <string>

namespace {

/// The figures of each benchmark of the run, and the ratios between them.
class Figures {
public:
    void add(const std::vector<benchmark::BenchmarkReporter::Run>& runs)
    {
        using Run = benchmark::BenchmarkReporter::Run;
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            // Named without the "/real_time" that UseRealTime appends.
            std::string name = run.run_name.str();
            if (const auto at = name.find("/real_time"); at != std::string::npos)
                name.erase(at);
            Figure& f = m_figures[name];
            // A median replaces the single runs; single runs keep the last.
            if (median || !f.fromMedian) {
                f.fromMedian = median;
                // CPU time: on a machine shared with other work it leaves out
                // the time the benchmark waits for a core.
                f.seconds = run.GetAdjustedCPUTime() / multiplier(run.time_unit);
                for (const auto& [counterName, counter] : run.counters)
                    f.counters[counterName] = counter.value;
            }
        }
    }

    void print(std::FILE* out) const
    {
        std::fprintf(out, "\nRatios (CPU time%s):\n", anyMedian() ? ", medians" : "");
        ratio(out, "BM_Frame / BM_Clear", seconds("BM_Frame"), seconds("BM_Clear"), 1.5);
        ratio(out, "BM_Step / BM_StepBox2D", seconds("BM_Step"), seconds("BM_StepBox2D"), 0.2);
        ratio(out, "per spring BM_StepLattice/128 / BM_StepLattice/8", counter("BM_StepLattice/128", "per_spring"),
              counter("BM_StepLattice/8", "per_spring"), 1.2);
        ratio(out, "per spring BM_StepLattice/128 / BM_StepLatticeBox2D/128",
              counter("BM_StepLattice/128", "per_spring"), counter("BM_StepLatticeBox2D/128", "per_spring"), 0);
        const double steps = counter("BM_EventLoop", "steps_per_second");
        if (steps > 0) {
            std::fprintf(out, "  %-55s %10.0f\n", "BM_EventLoop steps per second", steps);
            std::fprintf(out, "  %-55s %10.0f   target >= 30\n", "BM_EventLoop paints per second",
                         counter("BM_EventLoop", "paints_per_second"));
        }
        std::fflush(out);
    }

private:
    struct Figure {
        bool fromMedian = false;
        double seconds = 0;
        std::map<std::string, double> counters;
    };

    static double multiplier(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e9;
        case benchmark::kMicrosecond:
            return 1e6;
        case benchmark::kMillisecond:
            return 1e3;
        default:
            return 1;
        }
    }

    bool anyMedian() const
    {
        for (const auto& [name, f] : m_figures)
            if (f.fromMedian)
                return true;
        return false;
    }

    double seconds(const std::string& name) const
    {
        const auto it = m_figures.find(name);
        return it == m_figures.end() ? 0 : it->second.seconds;
    }

    double counter(const std::string& name, const std::string& counterName) const
    {
        const auto it = m_figures.find(name);
        if (it == m_figures.end())
            return 0;
        const auto c = it->second.counters.find(counterName);
        return c == it->second.counters.end() ? 0 : c->second;
    }

    /// a / b with its target (none when 0), when both were measured.
    static void ratio(std::FILE* out, const char* what, double a, double b, double target)
    {
        if (a <= 0 || b <= 0)
            return;
        if (target > 0)
            std::fprintf(out, "  %-55s %10.3f   target <= %.1f\n", what, a / b, target);
        else
            std::fprintf(out, "  %-55s %10.3f\n", what, a / b);
    }

    std::map<std::string, Figure> m_figures;
};

/// A reporter of the library's own kind that also hands every run to the
/// figures.
template <typename Reporter>
class Collecting : public Reporter {
public:
    template <typename... Args>
    explicit Collecting(Figures& figures, Args... args) : Reporter(args...), m_figures(figures)
    {
    }

    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override
    {
        Reporter::ReportRuns(runs);
        m_figures.add(runs);
    }

private:
    Figures& m_figures;
};

/// The value of --benchmark_format, read before the library takes its flags.
std::string formatFlag(int argc, char** argv)
{
    constexpr const char* flag = "--benchmark_format=";
    std::string format = "console";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            format = argv[i] + std::strlen(flag);
    return format;
}

std::unique_ptr<benchmark::BenchmarkReporter> displayReporter(const std::string& format, Figures& figures)
{
    if (format == "json")
        return std::make_unique<Collecting<benchmark::JSONReporter>>(figures);
    if (format == "csv") {
        // Deprecated by the library, but still one of its formats.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return std::make_unique<Collecting<benchmark::CSVReporter>>(figures);
#pragma GCC diagnostic pop
    }
    // The table, in colour on a terminal.
    const auto options = isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Defaults
                                               : benchmark::ConsoleReporter::OO_Tabular;
    return std::make_unique<Collecting<benchmark::ConsoleReporter>>(figures, options);
}

} // namespace

int main(int argc, char** argv)
{
    // The window benchmarks need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The benchmarks run on one core, the first this process may use (taskset
    // picks another): moved between cores a thread finds its caches cold, and
    // on the virtual machine of docs/performance.md the frame took twice as
    // long at times on its second core. Qt's own threads, started above, keep
    // every core.
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (CPU_ISSET(cpu, &allowed)) {
                cpu_set_t core;
                CPU_ZERO(&core);
                CPU_SET(cpu, &core);
                sched_setaffinity(0, sizeof core, &core);
                break;
            }
        }
    }
    const std::string format = formatFlag(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (format != "console" && format != "json" && format != "csv") {
        std::fprintf(stderr, "springlattice-bench: unknown --benchmark_format '%s' (console, json or csv)\n",
                     format.c_str());
        return 1;
    }
    // Only when the run measures them (the filter is a regular expression).
    const std::regex filter(benchmark::GetBenchmarkFilter());
    if (std::regex_search("BM_Clear", filter) || std::regex_search("BM_Frame", filter))
        makeWindowScenes();
    Figures figures;
    const auto reporter = displayReporter(format, figures);
    benchmark::RunSpecifiedBenchmarks(reporter.get());
    figures.print(format == "console" ? stdout : stderr);
    benchmark::Shutdown();
    return 0;
}
