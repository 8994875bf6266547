// The figures table printed by `make bench`: each figure beside its floor, the ratio
// and the target, from the median of repeated runs, in CPU time (the machine may be shared). Both bench programs share it.
#ifndef STARLANE_BENCH_REPORT_H
#define STARLANE_BENCH_REPORT_H

struct TableRow {
    const char* figure;    // what is measured, as printed
    const char* benchmark; // the benchmark that measures it
    const char* floor;     // the benchmark that measures its floor, or null
    double targetUs;       // at most this many microseconds; 0: no target
    double targetRatio;    // at most this many floors; 0: no target
};

// CPU time of the calling thread, for benchmarks that time part of each iteration
// themselves (UseManualTime); every figure of the table is CPU time.
double threadCpuSeconds();

// Runs the benchmarks (7 repetitions unless the command line says otherwise) and prints
// the table. Options of its own: --no-header (continue a table another program began),
// --raw (Google Benchmark's own report as well). Returns the exit code.
int benchMain(int argc, char** argv, const TableRow* rows, int numRows);

#endif
