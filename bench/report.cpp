#include "bench/report.h"

#include <benchmark/benchmark.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Figure {
    double us = 0;
    int haveMedian = 0;
    std::string error;
};

// Keeps each benchmark's median (or its only run) in microseconds; with --raw it also
// passes everything on to Google Benchmark's console report on stderr.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, Figure> figures;
    benchmark::ConsoleReporter* raw = nullptr;

    bool ReportContext(const Context& context) override
    {
        return raw == nullptr || raw->ReportContext(context);
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        if (raw)
            raw->ReportRuns(runs);
        for (const Run& run : runs) {
            Figure& f = figures[run.run_name.function_name];
            if (run.error_occurred) {
                f.error = run.error_message;
                continue;
            }
            int median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            if (f.haveMedian && !median)
                continue;
            // CPU time of the measuring thread: the machine is shared, and time spent
            // waiting for a core is not the code's. Manual times are measured that way too.
            double t = run.run_name.time_type == "manual_time" ? run.GetAdjustedRealTime()
                                                               : run.GetAdjustedCPUTime();
            f.us = t * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            f.haveMedian = median;
        }
    }

    void Finalize() override
    {
        if (raw)
            raw->Finalize();
    }
};

std::string formatUs(double us)
{
    char text[32];
    if (us >= 1000)
        snprintf(text, sizeof(text), "%.2f ms", us / 1000);
    else if (us >= 10)
        snprintf(text, sizeof(text), "%.1f us", us);
    else
        snprintf(text, sizeof(text), "%.3f us", us);
    return text;
}

std::string formatTarget(const TableRow& row)
{
    std::string target;
    if (row.targetUs > 0) {
        char text[32];
        if (row.targetUs >= 1000)
            snprintf(text, sizeof(text), "<= %g ms", row.targetUs / 1000);
        else
            snprintf(text, sizeof(text), "<= %g us", row.targetUs);
        target = text;
    }
    if (row.targetRatio > 0) {
        char text[32];
        snprintf(text, sizeof(text), "<= %gx floor", row.targetRatio);
        target += (target.empty() ? "" : ", ") + std::string(text);
    }
    return target.empty() ? "-" : target;
}

void printRow(const TableRow& row, const std::map<std::string, Figure>& figures)
{
    auto found = figures.find(row.benchmark);
    if (found == figures.end())
        return; // filtered out on the command line
    const Figure& f = found->second;
    if (!f.error.empty()) {
        printf("%-44s  error: %s\n", row.figure, f.error.c_str());
        return;
    }
    std::string floorText = "-", ratioText = "-";
    double ratio = 0;
    if (row.floor) {
        auto fl = figures.find(row.floor);
        if (fl != figures.end() && fl->second.error.empty() && fl->second.us > 0) {
            floorText = formatUs(fl->second.us);
            ratio = f.us / fl->second.us;
            char text[16];
            snprintf(text, sizeof(text), "%.2fx", ratio);
            ratioText = text;
        }
    }
    const char* verdict = "";
    if (row.targetUs > 0 || row.targetRatio > 0) {
        int met = (row.targetUs <= 0 || f.us <= row.targetUs) &&
                  (row.targetRatio <= 0 || (ratio > 0 && ratio <= row.targetRatio));
        verdict = met ? "met" : "MISSED";
    }
    printf("%-44s %10s %10s %7s  %-26s %s\n", row.figure, formatUs(f.us).c_str(), floorText.c_str(),
           ratioText.c_str(), formatTarget(row).c_str(), verdict);
}

} // namespace

double threadCpuSeconds()
{
    struct timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int benchMain(int argc, char** argv, const TableRow* rows, int numRows)
{
    // Defaults first, so that the same flags given on the command line win.
    std::vector<char*> args;
    args.push_back(argv[0]);
    static char repetitions[] = "--benchmark_repetitions=7";
    static char minTime[] = "--benchmark_min_time=0.2";
    args.push_back(repetitions);
    args.push_back(minTime);
    int header = 1, raw = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--no-header") == 0)
            header = 0;
        else if (strcmp(argv[i], "--raw") == 0)
            raw = 1;
        else
            args.push_back(argv[i]);
    }
    int n = (int)args.size();
    args.push_back(nullptr);
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 2;

    TableReporter table;
    benchmark::ConsoleReporter console;
    if (raw) {
        console.SetOutputStream(&std::cerr);
        console.SetErrorStream(&std::cerr);
        table.raw = &console;
    }
    benchmark::RunSpecifiedBenchmarks(&table);

    if (header) {
        printf("%-44s %10s %10s %7s  %-26s %s\n", "Figure (CPU time, median of runs)", "Time",
               "Floor", "Ratio", "Target", "");
        printf("%s\n", std::string(108, '-').c_str());
    }
    for (int i = 0; i < numRows; i++)
        printRow(rows[i], table.figures);
    fflush(stdout);
    benchmark::Shutdown();
    return 0;
}
