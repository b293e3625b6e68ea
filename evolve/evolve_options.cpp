#include "evolve/evolve_options.h"

#include <limits>

#include "app/resources.h"

namespace {

// Digits only: no sign, no spaces, no trailing text, so that "5x" or "1e3" is refused, not half-read.
template <typename Number>
bool ReadCount(const QString& option, const QString& text, Number maximum, Number& count, QString& error) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QString digits = negative ? text.mid(1) : text;
    bool allDigits = !digits.isEmpty();
    for (const QChar c : digits) allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!allDigits) {
        error = QStringLiteral("%1 needs a whole number, not '%2'").arg(option, text);
        return false;
    }
    if (negative) {
        error = QStringLiteral("%1 must be 0 or more, not %2").arg(option, text);
        return false;
    }
    bool fits = false;
    const qulonglong value = digits.length() <= 18 ? digits.toULongLong(&fits) : 0;
    if (!fits || value > static_cast<qulonglong>(maximum)) {
        error = QStringLiteral("%1 must be at most %2, not %3").arg(option).arg(maximum).arg(text);
        return false;
    }
    count = static_cast<Number>(value);
    return true;
}

}  // namespace

ParsedOptions ParseEvolveOptions(const QStringList& arguments) {
    ParsedOptions parsed;
    EvolveOptions& options = parsed.options;
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        options.help = true;
        return parsed;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        options.version = true;
        return parsed;
    }
    bool haveOutput = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool valueGiven = false;
        if (const qsizetype equals = name.indexOf(QLatin1Char('='));
            name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            valueGiven = true;
        }
        const bool takesValue = name == QLatin1String("--presses") || name == QLatin1String("--generations") ||
                                name == QLatin1String("--randomize") || name == QLatin1String("--target") ||
                                name == QLatin1String("--out") || name == QLatin1String("--seed") ||
                                name == QLatin1String("--jobs") || name == QLatin1String("--resume") ||
                                name == QLatin1String("--checkpoint-every");
        if (takesValue || !valueGiven) options.given << name;
        if (name == QLatin1String("--force") && !valueGiven) {
            options.force = true;
            continue;
        }
        if (name == QLatin1String("--continue") && !valueGiven) {
            options.continueRun = true;
            continue;
        }
        if (name == QLatin1String("--no-animation") && !valueGiven) {
            options.animation = false;
            continue;
        }
        if (!takesValue) {
            parsed.error = name.startsWith(QLatin1Char('-'))
                               ? QStringLiteral("unknown option '%1' (see --help)").arg(arguments[i])
                               : QStringLiteral("unexpected argument '%1' (see --help)").arg(arguments[i]);
            return parsed;
        }
        if (!valueGiven) {
            if (i + 1 >= arguments.size()) {
                parsed.error = QStringLiteral("%1 needs a value (see --help)").arg(name);
                return parsed;
            }
            value = arguments[++i];
        }
        bool ok = true;
        if (name == QLatin1String("--presses")) {
            ok = ReadCount(name, value, kMaxPresses, options.presses, parsed.error);
        } else if (name == QLatin1String("--generations")) {
            ok = ReadCount(name, value, kMaxGenerations, options.generations, parsed.error);
        } else if (name == QLatin1String("--randomize")) {
            ok = ReadCount(name, value, kMaxRandomizations, options.randomizations, parsed.error);
        } else if (name == QLatin1String("--jobs")) {
            ok = ReadCount(name, value, kMaxJobs, options.jobs, parsed.error);
            if (ok && options.jobs == 0) {
                parsed.error = QStringLiteral("--jobs must be at least 1, not 0");
                ok = false;
            }
        } else if (name == QLatin1String("--checkpoint-every")) {
            ok = ReadCount(name, value, kMaxCheckpointSeconds, options.checkpointSeconds, parsed.error);
        } else if (name == QLatin1String("--seed")) {
            std::uint32_t seed = 0;
            ok = ReadCount(name, value, std::numeric_limits<std::uint32_t>::max(), seed, parsed.error);
            if (ok) options.seed = seed;
        } else if (value.isEmpty()) {
            parsed.error = QStringLiteral("%1 needs a non-empty value").arg(name);
            ok = false;
        } else if (name == QLatin1String("--target")) {
            options.targetFile = value;
        } else {
            if (haveOutput && value != options.outputFolder) {
                parsed.error = QStringLiteral("two folders, %1 and %2: give one, with --out DIR or --resume DIR")
                                   .arg(options.outputFolder, value);
                return parsed;
            }
            options.outputFolder = value;
            options.resume = options.resume || name == QLatin1String("--resume");
            haveOutput = true;
        }
        if (!ok) return parsed;
    }
    if (!haveOutput) {
        parsed.error = QStringLiteral("no output folder: give --out DIR (see --help)");
    } else if (options.force && (options.continueRun || options.resume)) {
        parsed.error = QStringLiteral("--force starts the run anew; it cannot go with --%1")
                           .arg(options.resume ? QStringLiteral("resume") : QStringLiteral("continue"));
    }
    return parsed;
}

namespace {

QString SeedText(const std::optional<std::uint32_t>& seed) {
    return seed ? QString::number(*seed) : QStringLiteral("none");
}

QString TargetText(const QString& target) { return target.isEmpty() ? QStringLiteral("the left panel") : target; }

}  // namespace

QString ContinuedOptions(const EvolveOptions& commandLine, const RunOptions& run, EvolveOptions& continued) {
    continued = commandLine;
    static_cast<RunOptions&>(continued) = run;
    const auto given = [&](const char* name) { return commandLine.given.contains(QLatin1String(name)); };
    const auto differs = [&](const char* name, const QString& asked, const QString& theirs) {
        return QStringLiteral("%1 %2 differs from the run's %3 in %4; a run goes on with the options it started with")
            .arg(QLatin1String(name), asked, theirs, commandLine.outputFolder);
    };
    if (given("--generations") && commandLine.generations != run.generations)
        return differs("--generations", QString::number(commandLine.generations), QString::number(run.generations));
    if (given("--randomize") && commandLine.randomizations != run.randomizations)
        return differs("--randomize", QString::number(commandLine.randomizations), QString::number(run.randomizations));
    if (given("--seed") && commandLine.seed != run.seed)
        return differs("--seed", SeedText(commandLine.seed), SeedText(run.seed));
    if (given("--target") && commandLine.targetFile != run.targetFile)
        return differs("--target", commandLine.targetFile, TargetText(run.targetFile));
    if (given("--no-animation") && run.animation)
        return QStringLiteral(
                   "--no-animation differs from the run in %1, which makes evolution.webp; a run goes on "
                   "with the options it started with")
            .arg(commandLine.outputFolder);
    if (given("--presses")) {
        if (commandLine.presses < run.presses)
            return QStringLiteral(
                       "--presses %1 is fewer than the run's %2 in %3; it may only be raised, to extend the run")
                .arg(commandLine.presses)
                .arg(run.presses)
                .arg(commandLine.outputFolder);
        continued.presses = commandLine.presses;
    }
    // The number of jobs changes no result: without --jobs a continued run takes this machine's cores.
    continued.jobs = given("--jobs") ? commandLine.jobs : 0;
    return {};
}

QString EvolveUsage() {
    return QStringLiteral(
               "Usage: ramulon-evolve [options] --out DIR\n"
               "\n"
               "Runs presses of Train as the Ramulon dialog does, without a window, and writes what they\n"
               "found into DIR. Without options it runs the first press of a fresh program.\n"
               "\n"
               "Options:\n"
               "  --out DIR          folder for the files; made if missing\n"
               "  --presses N        presses of Train in a row, each against a freshly captured target\n"
               "                     (default 1, at most %1)\n"
               "  --generations G    generations per press (default %2, at most %3)\n"
               "  --randomize K      press \"Randomize Tree\" K times before the first press (default 0)\n"
               "  --target FILE      train towards this PNG or JPEG picture instead of the left panel;\n"
               "                     it is scaled to the panel with its aspect kept and black bars\n"
               "  --seed S           seed the random generator with S (0 to 4294967295) for a run of its\n"
               "                     own; without it every run grows the dialog's trees\n"
               "  --jobs N           render workers that draw candidates at once (default: one per core this\n"
               "                     process may run on; 1 draws each in the panel, one after another);\n"
               "                     the results are the same for every N\n"
               "  --no-animation     leave out evolution.webp, the animation of the run\n"
               "  --force            overwrite the run already in DIR (a folder holding run.json or a\n"
               "                     checkpoint)\n"
               "  --continue         go on with the run in DIR from its checkpoint if DIR holds one, else\n"
               "                     start it: one command line for the first start and every restart\n"
               "  --resume DIR       go on with the run in DIR from its checkpoint; refused without one.\n"
               "                     Options given with --continue or --resume must be the run's, except\n"
               "                     --jobs and --checkpoint-every, and --presses, which may be raised\n"
               "  --checkpoint-every S\n"
               "                     write the checkpoint at the end of a generation at most every S\n"
               "                     seconds (default %4; 0: every generation); it is also written at\n"
               "                     the start, at the end of the first generation, at a stop and at the end\n"
               "  -h, --help         show this text\n"
               "  --version          show the version and the licence\n"
               "\n"
               "Files: target.png, best-P.png, compare-P.png, best-P.obj, best-P.mtl and best-P.json for\n"
               "every press P, fitness.csv, fitness.png, evolution.webp (the target, then best at the end\n"
               "of every generation), index.html (a page that shows the run), run.json and checkpoint.bin.\n"
               "Progress goes to standard error, each press's result line to standard output.\n"
               "\n"
               "Exit status: 0 done, 1 the environment failed (no OpenGL, a file could not be written),\n"
               "2 bad input, DIR held by another run, or a checkpoint that cannot be continued (nothing was\n"
               "written), 128 + N stopped by signal N after writing what was done and the checkpoint\n"
               "(130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).\n")
        .arg(kMaxPresses)
        .arg(kGenerationsPerPress)
        .arg(kMaxGenerations)
        .arg(kDefaultCheckpointSeconds);
}

QString EvolveVersionText() {
    return QStringLiteral(
               "ramulon-evolve %1\n"
               "Copyright 2026 Ramulon developers\n"
               "License MIT: <https://opensource.org/license/mit>\n"
               "This is free software: you are free to change and redistribute it.\n"
               "There is NO WARRANTY, to the extent permitted by law.\n")
        .arg(QString::fromUtf8(kApplicationVersion));
}
