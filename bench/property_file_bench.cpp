// Reader and writer throughput of the property-file format over a generated
// text of about 1 MB that looks like the game's content: unit definitions
// with values of every type, nested structs, lists of numbers, points and
// strings, comments and blank lines.

#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/core/property_file.h"

namespace {

std::string UnitText(int index) {
    const std::string n = std::to_string(index);
    return "// unit " + n +
           "\n"
           "struct unit" +
           n +
           "\n"
           "{\n"
           "\tstring name:   \t\"Unit number " +
           n +
           "\"\n"
           "\tint hitPoints:   \t" +
           std::to_string(100 + index % 900) +
           "\n"
           "\tfloat verticalThrust:   \t" +
           std::to_string(index * 0.37f) +
           "\n"
           "\tbool canFly:   \t" +
           (index % 2 ? "yes" : "no") +
           "\n"
           "\tcolour tint:   \t" +
           std::to_string(index % 256) +
           ",128,64,255\n"
           "\tpoint spawn:   \t(" +
           n + "," + std::to_string(-index) +
           ")\n"
           "\tpointf hotSpot:   \t(1.5," +
           std::to_string(index * 0.25f) +
           ")\n"
           "\n"
           "\tstruct weapon {\n"
           "\t\tfloat reload: 0.75   # seconds\n"
           "\t\tint damage: 12\n"
           "\t}\n"
           "\tlist float thrustSet\n"
           "\t{\n"
           "\t\t0\n\t\t0.25\n\t\t0.5\n\t\t1\n"
           "\t}\n"
           "\tlist list int grid {\n"
           "\t\t{\n\t\t\t1\n\t\t\t2\n\t\t}\n"
           "\t\t{\n\t\t\t3\n\t\t}\n"
           "\t}\n"
           "\tlist string sounds {\n"
           "\t\t\"engine.wav\"\n\t\t\"hit.wav\"\n"
           "\t}\n"
           "}\n\n";
}

const std::string& GeneratedText() {
    static const std::string text = [] {
        std::string result;
        for (int index = 0; result.size() < 1000000; ++index) {
            result += UnitText(index);
        }
        return result;
    }();
    return text;
}

void BM_ReadPropertyText(benchmark::State& state) {
    const std::string& text = GeneratedText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvel::ParsePropertyString(text, "generated"));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    state.counters["text_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadPropertyText)->Unit(benchmark::kMillisecond);

void BM_WritePropertyText(benchmark::State& state) {
    const orvel::PropertiesPtr tree = orvel::ParsePropertyString(GeneratedText(), "generated");
    size_t written = 0;
    for (auto _ : state) {
        std::ostringstream out;
        orvel::PrintProperties(*tree, out, 0);
        written = out.str().size();
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(written));
}
BENCHMARK(BM_WritePropertyText)->Unit(benchmark::kMillisecond);

}  // namespace
