#include "evolve/report/report_page.h"

#include <QDateTime>

#include "evolve/record/number_text.h"

namespace {

// Narrow enough for a phone, wide enough for the comparison pictures on a laptop. Long words such as
// file names and renderer strings break rather than run past the edge.
constexpr char kStyle[] = R"(
body { font-family: "DejaVu Sans", sans-serif; margin: 0 auto; max-width: 64rem; padding: 0 1rem 2rem;
       line-height: 1.45; color: #1d1d1d; background: #fcfcfc; overflow-wrap: break-word; }
h1 { font-size: 1.6rem; margin: 1.2rem 0 0.4rem; }
h2 { font-size: 1.2rem; margin: 1.8rem 0 0.6rem; border-bottom: 1px solid #ddd; }
.state { padding: 0.6rem 0.8rem; border-left: 0.3rem solid #1f5fa8; background: #eef3fa; }
.state.interrupted, .state.running { border-color: #d96c1a; background: #fbf1e8; }
.state.failed { border-color: #b3261e; background: #fbeaea; }
img { max-width: 100%; height: auto; display: block; }
figure { margin: 0 0 1.2rem; }
figcaption { font-size: 0.9rem; color: #555; margin-top: 0.3rem; }
table { border-collapse: collapse; }
th, td { text-align: left; padding: 0.25rem 0.8rem 0.25rem 0; vertical-align: top; }
table.presses td, table.presses th { border-bottom: 1px solid #e5e5e5; }
table.presses td { font-variant-numeric: tabular-nums; text-align: right; }
table.parameters th { font-weight: normal; color: #555; }
table.parameters td, ul.files li { overflow-wrap: anywhere; }
ul.files { padding-left: 1.2rem; }
code { font-family: "DejaVu Sans Mono", monospace; font-size: 0.95em; }
@media (max-width: 36rem) {
  table.parameters, table.parameters tr, table.parameters th, table.parameters td { display: block; }
  table.parameters th { padding: 0.5rem 0 0; font-size: 0.9rem; }
  table.parameters td { padding: 0; }
  table.presses th { font-size: 0.85rem; }
}
)";

std::string Text(const QString& text) {
    std::string escaped;
    for (const char c : text.toStdString()) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Number(int value) { return std::to_string(value); }

std::string Plural(int count, const char* one, const char* many) {
    return Number(count) + " " + (count == 1 ? one : many);
}

// The time as people read it, marked so that a program can find it.
std::string Time(const QString& iso) {
    const QDateTime time = QDateTime::fromString(iso, Qt::ISODate);
    const QString shown = time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")) : iso;
    return "<time datetime=\"" + Text(iso) + "\">" + Text(shown) + "</time>";
}

std::string Row(const char* name, const std::string& value) {
    return std::string("<tr><th>") + name + "</th><td>" + value + "</td></tr>\n";
}

std::string Link(const QString& file) { return "<a href=\"" + Text(file) + "\">" + Text(file) + "</a>"; }

// The gene distance of each press's last row; negative where there is none.
double PressGeneDistance(const std::vector<FitnessRow>& rows, int press) {
    double distance = -1.0;
    for (const FitnessRow& row : rows)
        if (row.press == press) distance = row.geneDistance;
    return distance;
}

std::string StateText(const RunRecord& record) {
    const int asked = record.options.presses;
    const int done = static_cast<int>(record.presses.size());
    const std::string resume =
        " What was done is kept here, and <code>ramulon-evolve --resume</code> with this "
        "folder goes on with it.";
    if (record.state == QLatin1String("finished"))
        return "Finished: " + Plural(done, "press", "presses") + " of " +
               Plural(record.options.generations, "generation", "generations") + ".";
    if (record.state == QLatin1String("running"))
        return "Running: " + Number(done) + " of " + Plural(asked, "press", "presses") +
               " done. This page is written again after every press.";
    if (record.state == QLatin1String("interrupted")) {
        std::string text = "Stopped by " + Text(record.signal);
        if (done == 0)
            text += " before the first generation ended.";
        else
            text += " after " + Plural(record.presses.back().generations, "generation", "generations") + " of press " +
                    Number(record.presses.back().press) + " of " + Number(asked) + ".";
        return text + resume;
    }
    return "Failed: " + Text(record.error) +
           ". Once the cause is mended, <code>ramulon-evolve --resume</code> "
           "with this folder goes on from the latest checkpoint.";
}

std::string PressTable(const RunRecord& record, const std::vector<FitnessRow>& rows) {
    const bool distances = record.options.targetFile.isEmpty();
    std::string html = "<table class=\"presses\">\n<tr><th>Press</th><th>Generations</th><th>Best fitness</th>";
    if (distances) html += "<th>Gene distance</th>";
    html += "</tr>\n";
    for (const PressRecord& press : record.presses) {
        html += "<tr><td>" + Number(press.press) + "</td><td>" + Number(press.generations) + "</td><td>" +
                FixedNumber(press.bestFitness, 6) + "</td>";
        if (distances) {
            const double distance = PressGeneDistance(rows, press.press);
            html += "<td>" + (distance >= 0.0 ? FixedNumber(distance, 4) : std::string("-")) + "</td>";
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string Parameters(const RunRecord& record) {
    const RunOptions& o = record.options;
    std::string html = "<table class=\"parameters\">\n";
    html += Row("Presses", Number(o.presses));
    html += Row("Generations per press", Number(o.generations));
    html += Row("Randomize Tree before the first press", Number(o.randomizations));
    html += Row("Target", o.targetFile.isEmpty() ? std::string("the left panel's picture")
                                                 : "<code>" + Text(o.targetFile) + "</code>");
    html += Row("Seed", o.seed ? std::to_string(*o.seed) : std::string("none: the dialog's own trees"));
    html += Row("Jobs", o.jobs > 0 ? Number(o.jobs) : std::string("one per core"));
    html += Row("Render workers", Number(record.workers));
    html += Row("Panel", Number(record.panelWidth) + " &times; " + Number(record.panelHeight) + " pixels");
    html += Row("Renderer", Text(record.renderer));
    html += Row("Program", "ramulon-evolve " + Text(record.version));
    html += Row("Started", Time(record.started));
    if (!record.ended.isEmpty()) html += Row("Ended", Time(record.ended));
    return html + "</table>\n";
}

std::string Files(const RunRecord& record, const std::function<bool(const QString&)>& exists) {
    std::string html = "<ul class=\"files\">\n";
    const auto item = [&](const QString& file, const char* what) {
        if (exists(file)) html += "<li>" + Link(file) + " &ndash; " + what + "</li>\n";
    };
    item(QStringLiteral("target.png"), "the target picture");
    for (const PressRecord& press : record.presses) {
        const QString stem = QStringLiteral("best-%1").arg(press.press);
        item(stem + QStringLiteral(".png"), "best's picture");
        item(stem + QStringLiteral(".obj"), "best's mesh (Wavefront OBJ)");
        item(stem + QStringLiteral(".mtl"), "its material");
        item(stem + QStringLiteral(".json"), "best's genome");
        item(QStringLiteral("compare-%1.png").arg(press.press), "target, best and their difference");
    }
    item(QStringLiteral("evolution.webp"), "the animation");
    item(QStringLiteral("fitness.csv"), "the fitness of every generation");
    item(QStringLiteral("fitness.png"), "its plot");
    item(QStringLiteral("run.json"), "the run's record");
    return html + "</ul>\n";
}

}  // namespace

std::string ReportPage(const RunRecord& record, const std::vector<FitnessRow>& rows,
                       const std::function<bool(const QString&)>& exists) {
    const std::string width = Number(record.panelWidth);
    const std::string height = Number(record.panelHeight);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Ramulon run: " +
        Text(record.state) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>Ramulon run</h1>\n<p class=\"state " + Text(record.state) + "\">" + StateText(record) + "</p>\n";
    if (exists(QStringLiteral("evolution.webp"))) {
        html += "<h2>Evolution</h2>\n<figure><img src=\"evolution.webp\" width=\"" + width + "\" height=\"" + height +
                "\" alt=\"The target tree, then the best tree at the end of every generation\">\n"
                "<figcaption>The target, then the best tree at the end of every generation of every press, "
                "a tenth of a second each.</figcaption></figure>\n";
    }
    if (!record.presses.empty()) html += "<h2>Presses</h2>\n" + PressTable(record, rows);
    bool comparisons = false;
    for (const PressRecord& press : record.presses) {
        const QString file = QStringLiteral("compare-%1.png").arg(press.press);
        if (!exists(file)) continue;
        if (!comparisons) html += "<h2>Target and best</h2>\n";
        comparisons = true;
        html += "<figure><img src=\"" + Text(file) + "\" alt=\"Press " + Number(press.press) +
                ": the target, the best tree and their difference\"></figure>\n";
    }
    if (exists(QStringLiteral("fitness.png")))
        html +=
            "<h2>Fitness</h2>\n<figure><img src=\"fitness.png\" alt=\"The best and median fitness of every "
            "generation\"><figcaption>Lower is closer to the target.</figcaption></figure>\n";
    html += "<h2>Parameters</h2>\n" + Parameters(record);
    html += "<h2>Files</h2>\n" + Files(record, exists);
    return html + "</body>\n</html>\n";
}
