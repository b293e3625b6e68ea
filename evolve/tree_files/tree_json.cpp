#include "evolve/tree_files/tree_json.h"

#include "evolve/record/number_text.h"

namespace {

void Field(std::string& json, const char* name, const std::string& value, bool last = false) {
    json += '"';
    json += name;
    json += "\": ";
    json += value;
    json += last ? "" : ", ";
}

}  // namespace

std::string TreeJson(const TreeGenome& genome, const NoiseField& noise, int depth, double fitness, int press) {
    std::string json = "{\n  ";
    Field(json, "format", "\"ramulon-tree\"");
    Field(json, "version", "1");
    Field(json, "press", std::to_string(press));
    Field(json, "fitness", ExactNumber(fitness));
    Field(json, "depth", std::to_string(depth), true);
    json += ",\n  \"genome\": {\n    ";
    Field(json, "radius", ExactNumber(genome.radius));
    Field(json, "taper", ExactNumber(genome.taper));
    Field(json, "scale", ExactNumber(genome.scale));
    Field(json, "slices", std::to_string(genome.slices));
    Field(json, "stacks", std::to_string(genome.stacks), true);
    json += ",\n    \"branches\": [\n";
    for (int i = 0; i < kBranchCount; ++i) {
        const BranchGene& gene = genome.branches[i];
        json += "      {";
        Field(json, "azimuth", ExactNumber(gene.azimuth));
        Field(json, "inclination", ExactNumber(gene.inclination));
        Field(json, "inclinationSpread", ExactNumber(gene.inclinationSpread));
        Field(json, "azimuthSpread", ExactNumber(gene.azimuthSpread));
        Field(json, "presence", ExactNumber(gene.presence));
        Field(json, "position", ExactNumber(gene.position), true);
        json += i + 1 < kBranchCount ? "},\n" : "}\n";
    }
    json += "    ]\n  },\n  \"noise\": [\n";
    for (int node = 0; node < noise.Count(); ++node) {
        const NodeNoise& record = noise[node];
        json += "    [" + ExactNumber(record.presence) + ", " + ExactNumber(record.azimuth) + ", " +
                ExactNumber(record.inclination) + (node + 1 < noise.Count() ? "],\n" : "]\n");
    }
    json += "  ]\n}\n";
    return json;
}
