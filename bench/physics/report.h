// Prints the benchmark's two tables as Markdown: time per step of every
// engine with the ratios of ours to each peer, and the quality measures.
#ifndef BENCH_PHYSICS_REPORT_H
#define BENCH_PHYSICS_REPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "bench/physics/runner.h"
#include "bench/physics/scene.h"

namespace bench {

struct ReportRow {
    SceneSpec spec;
    std::vector<RunResult> results;  // one per engine, in the report's engine order
};

struct ReportColumns {
    std::vector<std::string> engines;
    std::vector<int> ours;   // indices of our configurations
    std::vector<int> peers;  // indices of the peer engines
};

// The timing table is printed a row at a time, as each scene finishes.
void PrintTimingHeader(const ReportColumns& columns, std::ostream& out);
void PrintTimingRow(const ReportColumns& columns, const ReportRow& row, std::ostream& out);
void PrintQualityTable(const ReportColumns& columns, const std::vector<ReportRow>& rows,
                       std::ostream& out);

}  // namespace bench

#endif
