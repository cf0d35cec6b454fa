#include "bench/physics/report.h"

#include <cstdio>
#include <functional>

namespace bench {

namespace {

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Micro(double value) { return Format(value < 100.0 ? "%.1f" : "%.0f", value); }

std::string SleepLabel(const SceneSpec& spec) {
    if (spec.kind == SceneKind::TerrainBuild) {
        return "-";
    }
    return spec.sleeping ? "on" : "off";
}

void PrintLine(const std::vector<std::string>& cells, std::ostream& out) {
    out << "|";
    for (const std::string& cell : cells) {
        out << " " << cell << " |";
    }
    out << "\n";
}

void PrintHeader(const std::vector<std::string>& cells, std::ostream& out) {
    PrintLine(cells, out);
    out << "|";
    for (size_t i = 0; i < cells.size(); ++i) {
        out << "---|";
    }
    out << "\n";
}

}  // namespace

void PrintTimingHeader(const ReportColumns& columns, std::ostream& out) {
    std::vector<std::string> header = {"scene", "sleep"};
    for (const std::string& engine : columns.engines) {
        header.push_back(engine + " median / p95 us");
    }
    for (int o : columns.ours) {
        for (int p : columns.peers) {
            header.push_back(columns.engines[o] + " / " + columns.engines[p]);
        }
    }
    PrintHeader(header, out);
}

void PrintTimingRow(const ReportColumns& columns, const ReportRow& row, std::ostream& out) {
    std::vector<std::string> cells = {row.spec.Label(), SleepLabel(row.spec)};
    for (const RunResult& result : row.results) {
        cells.push_back(Micro(result.timing.median) + " / " + Micro(result.timing.p95));
    }
    for (int o : columns.ours) {
        for (int p : columns.peers) {
            const double peer = row.results[p].timing.median;
            cells.push_back(peer > 0.0 ? Format("%.2f", row.results[o].timing.median / peer)
                                       : "-");
        }
    }
    PrintLine(cells, out);
    out.flush();
}

void PrintQualityTable(const ReportColumns& columns, const std::vector<ReportRow>& rows,
                       std::ostream& out) {
    struct Measure {
        const char* name;
        std::function<std::string(const Quality&)> value;
    };
    const Measure measures[] = {
        {"largest penetration m",
         [](const Quality& q) {
             return q.maxPenetration < 0.0f ? std::string() : Format("%.4f", q.maxPenetration);
         }},
        {"top drift after 10 s m",
         [](const Quality& q) {
             return q.topDrift < 0.0f ? std::string() : Format("%.4f", q.topDrift);
         }},
        {"pyramid stands",
         [](const Quality& q) {
             return q.standing < 0 ? std::string() : std::string(q.standing ? "yes" : "NO");
         }},
        {"largest joint error m",
         [](const Quality& q) {
             return q.maxJointError < 0.0f ? std::string() : Format("%.4f", q.maxJointError);
         }},
    };
    std::vector<std::string> header = {"scene", "sleep", "measure"};
    header.insert(header.end(), columns.engines.begin(), columns.engines.end());
    PrintHeader(header, out);
    for (const ReportRow& row : rows) {
        for (const Measure& measure : measures) {
            std::vector<std::string> cells = {row.spec.Label(), SleepLabel(row.spec),
                                              measure.name};
            bool any = false;
            for (const RunResult& result : row.results) {
                const std::string value = measure.value(result.quality);
                any = any || !value.empty();
                cells.push_back(value.empty() ? "-" : value);
            }
            if (any) {
                PrintLine(cells, out);
            }
        }
    }
}

}  // namespace bench
