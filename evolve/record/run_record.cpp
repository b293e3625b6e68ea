#include "evolve/record/run_record.h"

#include "evolve/record/number_text.h"

namespace {

// A JSON string: quotes, backslashes and control characters escaped; everything else as UTF-8.
std::string Quoted(const QString& text) {
    std::string quoted = "\"";
    for (const char c : text.toStdString()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xF];
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string QuotedOrNull(const QString& text) { return text.isEmpty() ? std::string("null") : Quoted(text); }

}  // namespace

std::string RunJson(const RunRecord& record) {
    const RunOptions& o = record.options;
    std::string json = "{\n";
    json += "  \"program\": \"ramulon-evolve\",\n";
    json += "  \"version\": " + Quoted(record.version) + ",\n";
    json += "  \"renderer\": " + Quoted(record.renderer) + ",\n";
    json += "  \"workers\": " + std::to_string(record.workers) + ",\n";
    json += "  \"options\": {\"presses\": " + std::to_string(o.presses) +
            ", \"generations\": " + std::to_string(o.generations) +
            ", \"randomize\": " + std::to_string(o.randomizations) + ", \"target\": " + QuotedOrNull(o.targetFile) +
            ", \"seed\": " + (o.seed ? std::to_string(*o.seed) : std::string("null")) +
            ", \"animation\": " + (o.animation ? "true" : "false") + ", \"jobs\": " + std::to_string(o.jobs) + "},\n";
    json += "  \"panel\": {\"width\": " + std::to_string(record.panelWidth) +
            ", \"height\": " + std::to_string(record.panelHeight) + "},\n";
    json += "  \"started\": " + Quoted(record.started) + ",\n";
    json += "  \"ended\": " + QuotedOrNull(record.ended) + ",\n";
    json += "  \"state\": " + Quoted(record.state) + ",\n";
    json += "  \"signal\": " + QuotedOrNull(record.signal) + ",\n";
    json += "  \"error\": " + QuotedOrNull(record.error) + ",\n";
    json += "  \"presses\": [";
    for (std::size_t i = 0; i < record.presses.size(); ++i) {
        const PressRecord& press = record.presses[i];
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"press\": " + std::to_string(press.press) +
                ", \"generations\": " + std::to_string(press.generations) +
                ", \"bestFitness\": " + ExactNumber(press.bestFitness) + "}";
    }
    json += record.presses.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}
