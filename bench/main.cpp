// springlattice-bench: Google Benchmark with a Qt application for the window
// benchmarks, and the ratios of the performance targets printed after the
// table, each from the runs of this one invocation.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

/// The console table, then the ratios from the medians (or from the single
/// runs when there are no repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
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
            Figures& f = m_figures[name];
            // A median replaces the single runs; single runs keep the last.
            if (median || !f.fromMedian) {
                f.fromMedian = median;
                // CPU time: on a machine shared with other work it leaves out the
                // time the benchmark waits for a core.
                f.seconds = run.GetAdjustedCPUTime() / multiplier(run.time_unit);
                for (const auto& [name, counter] : run.counters)
                    f.counters[name] = counter.value;
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios (CPU time%s):\n", anyMedian() ? ", medians" : "");
        ratio("BM_Step / BM_StepFlat", seconds("BM_Step"), seconds("BM_StepFlat"), 1.5);
        ratio("BM_Frame / BM_Clear", seconds("BM_Frame"), seconds("BM_Clear"), 3.0);
        ratio("per spring BM_StepLattice/128 / BM_StepLattice/8", counter("BM_StepLattice/128", "per_spring"),
              counter("BM_StepLattice/8", "per_spring"), 1.5);
        const double steps = counter("BM_EventLoop", "steps_per_second");
        if (steps > 0) {
            std::printf("  %-50s %10.0f   target >= 1500\n", "BM_EventLoop steps per second", steps);
            std::printf("  %-50s %10.0f   target >= 30\n", "BM_EventLoop paints per second",
                        counter("BM_EventLoop", "paints_per_second"));
        }
        std::fflush(stdout);
    }

private:
    struct Figures {
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

    static void ratio(const char* what, double a, double b, double target)
    {
        if (a > 0 && b > 0)
            std::printf("  %-50s %10.2f   target <= %.1f\n", what, a / b, target);
    }

    std::map<std::string, Figures> m_figures;
};

} // namespace

int main(int argc, char** argv)
{
    // The window benchmarks need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
