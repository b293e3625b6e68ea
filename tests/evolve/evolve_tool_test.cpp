// ramulon-evolve as a user runs it: the real executable in a process of its own, its exit status, its
// output and its files, held against the dialog's own press of Train in this process, and the faults
// of batch work: signals, two runs on one folder, a failed write.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>

#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "app/resources.h"
#include "display/platform/control_widget.h"
#include "evolve/animation/animation_frames.h"
#include "evolve/folder/folder_lock.h"
#include "evolve/interrupt_request.h"
#include "evolve/pictures/comparison_picture.h"
#include "evolve/pictures/target_picture.h"
#include "tests/evolve/tool_files.h"
#include "tree/random_seam.h"

namespace {

QJsonObject ReadJson(const QString& path) { return QJsonDocument::fromJson(ReadAll(path)).object(); }

// Standard error of a running tool until it holds `text` or the tool ends; what was read.
QByteArray WaitForProgress(QProcess& tool, const char* text) {
    QByteArray progress;
    while (!progress.contains(text) && tool.state() == QProcess::Running) {
        tool.waitForReadyRead(-1);
        progress += tool.readAllStandardError();
    }
    return progress;
}

// A picture as the panels keep theirs: rows top first, blue, green, red, no padding.
std::vector<unsigned char> BgrOf(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> bgr;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) bgr.insert(bgr.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return bgr;
}

// Stops the dialog's press once a number of generations is done: Train(50) then leaves best where
// Train(generations) would.
class StopAfterGenerations : public ITrainingObserver {
public:
    explicit StopAfterGenerations(int generations) : generations(generations) {}
    void OnGeneration(int generation) override { stop = generation >= generations; }
    bool StopRequested() override { return stop; }
    void OnResult(const std::string& text) override { result = QString::fromStdString(text); }

    QString result;

private:
    int generations;
    bool stop = false;
};

// Returns once the process no longer has `signal` pending: it has been taken, and a second one sent
// now arrives as a second delivery, not merged into the first.
void WaitUntilTaken(pid_t pid, int signal) {
    const qulonglong bit = 1ULL << (signal - 1);
    for (;;) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly)) return;
        bool pending = false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigPnd:") || line.startsWith("ShdPnd:"))
                pending = pending || (line.mid(7).trimmed().toULongLong(nullptr, 16) & bit) != 0;
        }
        if (!pending) return;
    }
}

// In a process group of its own, as a shell starts a job and `timeout` its command, so that a signal to
// the group reaches the tool and whatever it started, and nothing of the test.
void StartInGroupOfItsOwn(QProcess& tool, const QStringList& arguments) {
    tool.setChildProcessModifier([] { setpgid(0, 0); });
    tool.setReadChannel(QProcess::StandardError);
    tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE), arguments);
}

// Returns once the tool blocks the stop signals, so that from now on they reach its signal thread and
// never the default action; false if it ended first.
bool WaitUntilStopSignalsAreBlocked(pid_t pid) {
    const qulonglong stops = (1ULL << (SIGINT - 1)) | (1ULL << (SIGTERM - 1)) | (1ULL << (SIGHUP - 1));
    const timespec step = {0, 1'000'000};
    for (;;) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly)) return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigBlk:") && (line.mid(7).trimmed().toULongLong(nullptr, 16) & stops) == stops)
                return true;
        }
        nanosleep(&step, nullptr);
    }
}

}  // namespace

TEST(EvolveTool, WithoutOptionsItPressesTrainAsTheDialogDoesAndRepeatsItselfByteForByte) {
    constexpr int kGenerations = 3;
    QTemporaryDir scratch;
    const QString first = scratch.filePath(QStringLiteral("first"));
    const QString second = scratch.filePath(QStringLiteral("second"));
    const QStringList options{QStringLiteral("--generations"), QString::number(kGenerations)};
    const ToolRun run = RunTool(options + QStringList{QStringLiteral("--out"), first});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const ToolRun again = RunTool(options + QStringList{QStringLiteral("--out"), second});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();

    // The dialog of a fresh program, its Train button pressed.
    ResetRandomSequence();
    CMainDlg dialog;
    StopAfterGenerations stop(kGenerations);
    dialog.evolver.observer = &stop;
    std::vector<unsigned char> left, right;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.evolvedView.Render();
        dynamic_cast<QPushButton*>(dialog.Control(IDC_TRAIN))->click();
        left = dialog.targetView.Frame().bgr;
        right = dialog.evolvedView.Frame().bgr;
        dialog.reject();
    });
    dialog.DoModal();
    dialog.evolver.observer = nullptr;

    EXPECT_EQ(run.out, stop.result + QLatin1Char('\n'));
    const QJsonObject record = ReadJson(QDir(first).filePath(QStringLiteral("run.json")));
    EXPECT_EQ(record[QStringLiteral("state")].toString(), QStringLiteral("finished"));
    EXPECT_EQ(record[QStringLiteral("presses")][0][QStringLiteral("bestFitness")].toDouble(),
              dialog.evolver.best.fitness);
    const QImage best(QDir(first).filePath(QStringLiteral("best-1.png")));
    const QImage target(QDir(first).filePath(QStringLiteral("target.png")));
    EXPECT_EQ(best.size(), QSize(dialog.evolvedView.Control()->size()));
    EXPECT_TRUE(BgrOf(best) == right) << "best-1.png is not the right panel's picture";
    EXPECT_TRUE(BgrOf(target) == left) << "target.png is not the left panel's picture";
    // The comparison shows those very pictures, side by side with their difference.
    const QImage comparison(QDir(first).filePath(QStringLiteral("compare-1.png")));
    EXPECT_GE(comparison.width(), 3 * best.width());
    EXPECT_EQ(comparison.copy(ComparisonPanel(0, target.size())).convertToFormat(QImage::Format_RGB888),
              target.convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(comparison.copy(ComparisonPanel(1, best.size())).convertToFormat(QImage::Format_RGB888),
              best.convertToFormat(QImage::Format_RGB888));

    // A 3D tool finds best-1.obj's material beside it, defined before the faces that use it.
    const QByteArray obj = ReadAll(QDir(first).filePath(QStringLiteral("best-1.obj")));
    const QByteArray mtl = ReadAll(QDir(first).filePath(QStringLiteral("best-1.mtl")));
    EXPECT_TRUE(obj.contains("\nmtllib best-1.mtl\n"));
    const qsizetype use = obj.indexOf("\nusemtl ");
    ASSERT_GE(use, 0);
    EXPECT_LT(use, obj.indexOf("\nf "));
    const QByteArray material = obj.mid(use + 8, obj.indexOf('\n', use + 1) - use - 8);
    EXPECT_TRUE(mtl.contains("newmtl " + material + "\n")) << material.toStdString();

    // The animation, decoded by ImageMagick: the target, then best at the end of generations 0 to 3,
    // each a different tree in this run, the last the picture of best-1.png.
    const QString frames = scratch.filePath(QStringLiteral("frames"));
    ASSERT_TRUE(QDir().mkpath(frames));
    QProcess convert;
    convert.start(QStringLiteral("convert"), {QDir(first).filePath(QStringLiteral("evolution.webp")),
                                              QStringLiteral("-coalesce"), frames + QStringLiteral("/%d.png")});
    ASSERT_TRUE(convert.waitForFinished(-1) && convert.exitCode() == 0) << convert.readAllStandardError().data();
    const int frameCount = static_cast<int>(QDir(frames).entryList(QDir::Files).size());
    EXPECT_EQ(frameCount, kGenerations + 2);
    const auto frame = [&](int i) { return QImage(QStringLiteral("%1/%2.png").arg(frames).arg(i)); };
    EXPECT_TRUE(BgrOf(frame(0)) == left) << "the first frame is not the target";
    EXPECT_TRUE(BgrOf(frame(frameCount - 1)) == right) << "the last frame is not best-1.png";
    QProcess identify;
    identify.start(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%T,"),
                                                QDir(first).filePath(QStringLiteral("evolution.webp"))});
    ASSERT_TRUE(identify.waitForFinished(-1));
    int hundredths = 0;
    for (const QByteArray& delay : identify.readAllStandardOutput().split(',')) hundredths += delay.toInt();
    EXPECT_EQ(hundredths * 10,
              kTargetMilliseconds + (kGenerations + 1) * kGenerationMilliseconds + kLastFrameHoldMilliseconds);

    // The page names every file it shows or links to, each of them there, and nothing outside the folder.
    const QString page = QString::fromUtf8(ReadAll(QDir(first).filePath(QStringLiteral("index.html"))));
    EXPECT_FALSE(page.contains(QLatin1String("http:")) || page.contains(QLatin1String("https:")));
    EXPECT_FALSE(page.contains(QLatin1String("<script")));
    QStringList named;
    static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]*)\""));
    for (QRegularExpressionMatchIterator it = reference.globalMatch(page); it.hasNext();) {
        const QString file = it.next().captured(1);
        named << file;
        EXPECT_TRUE(QFileInfo::exists(QDir(first).filePath(file))) << file.toStdString();
    }
    for (const char* file : {"evolution.webp", "compare-1.png", "fitness.png", "best-1.obj", "best-1.mtl",
                             "best-1.json", "fitness.csv", "run.json"})
        EXPECT_TRUE(named.contains(QLatin1String(file))) << file;

    const QStringList names = QDir(first).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, QDir(second).entryList(QDir::Files, QDir::Name));
    for (const QString& name : names) {
        EXPECT_EQ(WithoutTimes(name, ReadAll(QDir(first).filePath(name))),
                  WithoutTimes(name, ReadAll(QDir(second).filePath(name))))
            << name.toStdString();
    }

    // Without the animation the run is the same but for it.
    const QString still = scratch.filePath(QStringLiteral("still"));
    ASSERT_EQ(RunTool(options + QStringList{QStringLiteral("--no-animation"), QStringLiteral("--out"), still}).status,
              0);
    EXPECT_FALSE(QFileInfo::exists(QDir(still).filePath(QStringLiteral("evolution.webp"))));
    EXPECT_FALSE(ReadAll(QDir(still).filePath(QStringLiteral("index.html"))).contains("evolution.webp"));
    for (const char* name : {"best-1.png", "best-1.json", "compare-1.png", "fitness.csv"})
        EXPECT_EQ(WithoutTimes(QLatin1String(name), ReadAll(QDir(still).filePath(QLatin1String(name)))),
                  WithoutTimes(QLatin1String(name), ReadAll(QDir(first).filePath(QLatin1String(name)))))
            << name;
}

TEST(EvolveTool, ASeedMakesARunOfItsOwnThatTheSameSeedRepeats) {
    QTemporaryDir scratch;
    const auto runWithSeed = [&](const char* seed, const char* folder) {
        const ToolRun run =
            RunTool({QStringLiteral("--seed"), QString::fromUtf8(seed), QStringLiteral("--generations"),
                     QStringLiteral("1"), QStringLiteral("--out"), scratch.filePath(QString::fromUtf8(folder))});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return QDir(scratch.filePath(QString::fromUtf8(folder)));
    };
    const QDir first = runWithSeed("7", "first");
    const QDir again = runWithSeed("7", "again");
    const QDir other = runWithSeed("8", "other");
    const auto csv = [](const QDir& folder) {
        return WithoutTimes(QStringLiteral("fitness.csv"), ReadAll(folder.filePath(QStringLiteral("fitness.csv"))));
    };

    EXPECT_EQ(csv(first), csv(again));
    EXPECT_NE(csv(first), csv(other));
    // The target tree is made with the dialog, so a seed that came too late would leave it the dialog's.
    EXPECT_NE(ReadAll(first.filePath(QStringLiteral("target.png"))),
              ReadAll(other.filePath(QStringLiteral("target.png"))));
    EXPECT_EQ(ReadJson(first.filePath(QStringLiteral("run.json")))[QStringLiteral("options")][QStringLiteral("seed")]
                  .toInteger(),
              7);
}

TEST(EvolveTool, ThePanelsAndSoTheRunAreTheSameWhicheverFontsTheMachineHas) {
    // A machine whose fonts are only DejaVu Sans Mono, whose characters are wider than the dialog font's.
    QTemporaryDir scratch;
    const QString fonts = scratch.filePath(QStringLiteral("fonts"));
    ASSERT_TRUE(QDir().mkpath(fonts));
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"),
                            QDir(fonts).filePath(QStringLiteral("DejaVuSansMono.ttf"))));
    const QString configuration = scratch.filePath(QStringLiteral("fonts.conf"));
    QFile file(configuration);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>"
                              "<dir>%1</dir><cachedir>%2</cachedir></fontconfig>\n")
                   .arg(fonts, scratch.filePath(QStringLiteral("cache")))
                   .toUtf8());
    file.close();
    QProcess fcList;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FONTCONFIG_FILE"), configuration);
    fcList.setProcessEnvironment(environment);
    fcList.start(QStringLiteral("fc-list"), {QStringLiteral(":"), QStringLiteral("family")});
    ASSERT_TRUE(fcList.waitForFinished(-1));
    ASSERT_EQ(fcList.readAllStandardOutput().trimmed(), QByteArray("DejaVu Sans Mono"))
        << "the fonts are not the test's";

    // The same run with the machine's own fonts, and with only the monospaced one.
    const auto runWith = [&](const QProcessEnvironment& fontsSeen, const QString& folder) {
        QProcess tool;
        tool.setProcessEnvironment(fontsSeen);
        tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE),
                   {QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--out"), folder});
        EXPECT_TRUE(tool.waitForFinished(-1));
        EXPECT_EQ(tool.exitCode(), 0);
        return tool.readAllStandardOutput();
    };
    const QString own = scratch.filePath(QStringLiteral("own"));
    const QString mono = scratch.filePath(QStringLiteral("mono"));
    const QByteArray result = runWith(QProcessEnvironment::systemEnvironment(), own);
    EXPECT_TRUE(result.startsWith("Current best fitness is ")) << result.toStdString();
    EXPECT_EQ(runWith(environment, mono), result);
    EXPECT_EQ(ReadAll(QDir(mono).filePath(QStringLiteral("best-1.png"))),
              ReadAll(QDir(own).filePath(QStringLiteral("best-1.png"))));
    const QJsonObject panel =
        ReadJson(QDir(mono).filePath(QStringLiteral("run.json")))[QStringLiteral("panel")].toObject();
    EXPECT_EQ(panel[QStringLiteral("width")].toInt(), 308);
    EXPECT_EQ(panel[QStringLiteral("height")].toInt(), 361);
}

TEST(EvolveTool, CtrlCSigtermAndSighupStopAfterTheCurrentEvaluationAndKeepWhatWasDone) {
    QTemporaryDir scratch;
    QImage photo(160, 90, QImage::Format_RGB32);
    photo.fill(QColor(190, 128, 64));
    const QString photoPath = scratch.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(photo.save(photoPath));

    struct Case {
        int signal;
        const char* name;
        const char* said;
    };
    const Case cases[] = {{SIGINT, "SIGINT", "stopped by Ctrl-C"},
                          {SIGTERM, "SIGTERM", "stopped by SIGTERM"},
                          {SIGHUP, "SIGHUP", "stopped by SIGHUP"}};
    for (const Case& c : cases) {
        const QString folder = scratch.filePath(QString::fromLatin1(c.name));
        QProcess tool;
        StartInGroupOfItsOwn(tool,
                             {QStringLiteral("--target"), photoPath, QStringLiteral("--presses"), QStringLiteral("3"),
                              QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--out"), folder});
        ASSERT_TRUE(tool.waitForStarted());
        // Progress is one line per generation when standard error is not a terminal.
        QByteArray progress = WaitForProgress(tool, "press 1/3  generation 1/1");
        // Twice, the second straight after the first was taken, as `timeout` signals the run and then its
        // process group: one request, not two.
        const auto pid = static_cast<pid_t>(tool.processId());
        ::kill(pid, c.signal);
        WaitUntilTaken(pid, c.signal);
        ::kill(-pid, c.signal);
        tool.waitForFinished(-1);
        progress += tool.readAllStandardError();

        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_EQ(tool.exitCode(), 128 + c.signal) << c.name << ": " << progress.toStdString();
        EXPECT_TRUE(progress.contains(c.said)) << progress.toStdString();
        const QJsonObject record = ReadJson(QDir(folder).filePath(QStringLiteral("run.json")));
        EXPECT_EQ(record[QStringLiteral("state")].toString(), QStringLiteral("interrupted")) << c.name;
        EXPECT_EQ(record[QStringLiteral("signal")].toString(), QLatin1String(c.name));
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("best-1.png")))) << c.name;
        EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("best-3.png")))) << c.name;
        EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("run.lock")))) << c.name;
        const QList<QByteArray> rows =
            ReadAll(QDir(folder).filePath(QStringLiteral("fitness.csv"))).trimmed().split('\n');
        ASSERT_GE(rows.size(), 3) << c.name;
        EXPECT_EQ(rows[0], "press,generation,evaluations,seconds,best,median,worst")
            << "no gene distance with --target";
        EXPECT_TRUE(rows[2].startsWith("1,1,225,")) << c.name;
        // The run trained towards the photograph on the panel, not towards the left panel.
        const QImage target(QDir(folder).filePath(QStringLiteral("target.png")));
        EXPECT_TRUE(BgrOf(target) == BgrOf(FitToPanel(photo, target.width(), target.height()))) << c.name;
    }
}

TEST(EvolveTool, TimeoutsDoubleSigtermAndCtrlCToTheGroupAtAnyMomentOfAParallelRunStopItAndKeepItsFiles) {
    struct Case {
        const char* what;
        int signal;
        bool alsoToTheTool;  // as `timeout` sends it: to the tool, then at once to its group
    };
    const Case timeout = {"timeout's SIGTERM", SIGTERM, true};
    const Case ctrlC = {"Ctrl-C", SIGINT, false};
    const Case cases[] = {timeout, timeout, ctrlC, timeout, timeout, ctrlC, timeout, timeout};
    // One moment drawn in each half second of the first four, from before the displays are open to
    // late in the run, which takes longer than that even on a fast machine; the seed makes a failure
    // repeat.
    constexpr long kSlotMilliseconds = 500;
    std::mt19937 moments(20260611);
    std::uniform_int_distribution<long> withinSlot(0, kSlotMilliseconds - 1);

    QTemporaryDir scratch;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        const long moment = i * kSlotMilliseconds + withinSlot(moments);
        const std::string trace =
            std::string(c.what) + " " + std::to_string(moment) + " ms into run " + std::to_string(i);
        const QString folder = scratch.filePath(QString::number(i));
        QProcess tool;
        StartInGroupOfItsOwn(
            tool, {QStringLiteral("--jobs"), QStringLiteral("2"), QStringLiteral("--presses"), QStringLiteral("2"),
                   QStringLiteral("--generations"), QStringLiteral("3"), QStringLiteral("--out"), folder});
        ASSERT_TRUE(tool.waitForStarted()) << trace;
        const auto pid = static_cast<pid_t>(tool.processId());
        ASSERT_TRUE(WaitUntilStopSignalsAreBlocked(pid)) << trace;
        const timespec wait = {moment / 1000, moment % 1000 * 1'000'000};
        nanosleep(&wait, nullptr);
        if (c.alsoToTheTool) ::kill(pid, c.signal);
        ::kill(-pid, c.signal);
        // Bounded, so that signals nobody takes fail the test rather than hang it.
        if (!tool.waitForFinished(120'000)) {
            ::kill(-pid, SIGKILL);
            tool.waitForFinished(-1);
            ADD_FAILURE() << trace << ": still running";
            continue;
        }
        const QByteArray progress = tool.readAllStandardError();

        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << trace << ": " << progress.toStdString();
        EXPECT_EQ(tool.exitCode(), 128 + c.signal) << trace << ": " << progress.toStdString();
        EXPECT_TRUE(progress.contains(c.signal == SIGINT ? "stopped by Ctrl-C" : "stopped by SIGTERM"))
            << trace << ": " << progress.toStdString();
        const QDir dir(folder);
        const QJsonObject record = ReadJson(dir.filePath(QStringLiteral("run.json")));
        EXPECT_EQ(record[QStringLiteral("state")].toString(), QStringLiteral("interrupted")) << trace;
        EXPECT_EQ(record[QStringLiteral("signal")].toString(), QLatin1String(SignalName(c.signal))) << trace;
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("run.lock")))) << trace;
        // Every press the record counts left its files; none that it does not count did.
        const qsizetype presses = record[QStringLiteral("presses")].toArray().size();
        for (int press = 1; press <= 2; ++press) {
            for (const char* kind : {"png", "obj", "mtl", "json"}) {
                const QString name = QStringLiteral("best-%1.%2").arg(press).arg(QLatin1String(kind));
                EXPECT_EQ(QFile::exists(dir.filePath(name)), press <= presses) << trace << ": " << name.toStdString();
            }
            if (press <= presses) {
                EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("best-%1.png").arg(press))).isNull()) << trace;
            }
        }
        EXPECT_TRUE(ReadAll(dir.filePath(QStringLiteral("fitness.csv"))).startsWith("press,generation,")) << trace;
    }
}

TEST(EvolveTool, ASecondSignalOfAnyKindEndsTheProcessAtOnce) {
    QTemporaryDir scratch;
    QProcess tool;
    tool.setReadChannel(QProcess::StandardError);
    tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE),
               {QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--out"),
                scratch.filePath(QStringLiteral("run"))});
    ASSERT_TRUE(tool.waitForStarted());
    WaitForProgress(tool, "generation 0/1");
    // Both arrive while the process is stopped, so the second is there before the run could end on
    // its own: SIGHUP is taken first, and SIGTERM then meets the default action.
    const auto pid = static_cast<pid_t>(tool.processId());
    ::kill(pid, SIGSTOP);
    ::kill(pid, SIGHUP);
    ::kill(pid, SIGTERM);
    ::kill(pid, SIGCONT);
    tool.waitForFinished(-1);
    EXPECT_EQ(tool.exitStatus(), QProcess::CrashExit) << "status " << tool.exitCode();
}

TEST(EvolveTool, OfTwoRunsStartedAtOnceOnOneFolderOneRefusesEvenWithForceAndTheOtherKeepsItsOwnFiles) {
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("shared"));
    // Different trees, so that files of the one beside files of the other would not agree.
    const QStringList arguments[2] = {
        {QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--force"), QStringLiteral("--out"),
         folder},
        {QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--randomize"), QStringLiteral("1"),
         QStringLiteral("--force"), QStringLiteral("--out"), folder}};
    QProcess tools[2];
    for (int i = 0; i < 2; ++i) tools[i].start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE), arguments[i]);
    for (QProcess& tool : tools) tool.waitForFinished(-1);
    ToolRun runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i] = {tools[i].exitStatus() == QProcess::NormalExit ? tools[i].exitCode() : -1,
                   QString::fromUtf8(tools[i].readAllStandardOutput()),
                   QString::fromUtf8(tools[i].readAllStandardError())};

    const int winner = runs[0].status == 0 ? 0 : 1;
    const ToolRun& won = runs[winner];
    const ToolRun& lost = runs[1 - winner];
    ASSERT_EQ(won.status, 0) << won.err.toStdString();
    EXPECT_EQ(lost.status, 2) << lost.err.toStdString();
    EXPECT_TRUE(lost.out.isEmpty());
    EXPECT_EQ(lost.err.count(QLatin1Char('\n')), 1) << lost.err.toStdString();
    EXPECT_TRUE(lost.err.contains(folder + QLatin1String(" is in use by another run"))) << lost.err.toStdString();

    const QDir dir(folder);
    const QJsonObject record = ReadJson(dir.filePath(QStringLiteral("run.json")));
    EXPECT_EQ(record[QStringLiteral("state")].toString(), QStringLiteral("finished"));
    EXPECT_EQ(record[QStringLiteral("options")][QStringLiteral("randomize")].toInt(), winner);
    const double fitness = record[QStringLiteral("presses")][0][QStringLiteral("bestFitness")].toDouble();
    EXPECT_EQ(won.out, QString::asprintf("Current best fitness is %lf\n", fitness));
    EXPECT_EQ(ReadJson(dir.filePath(QStringLiteral("best-1.json")))[QStringLiteral("fitness")].toDouble(), fitness);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("fitness.csv"))).trimmed().split('\n').size(), 3);
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("best-1.png"))).isNull());
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"best-1.json", "best-1.mtl", "best-1.obj", "best-1.png", "checkpoint.bin", "compare-1.png",
                           "evolution.webp", "fitness.csv", "fitness.png", "index.html", "run.json", "target.png"}));
}

TEST(EvolveTool, AFailedWriteNamesItsCauseAndLeavesRunJsonSayingFailed) {
    QTemporaryDir scratch;
    const QDir dir(scratch.filePath(QStringLiteral("run")));
    // A folder where best-1.obj must go: renaming a file over it fails for every user, root included.
    const QString blocked = dir.filePath(QStringLiteral("best-1.obj"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    const ToolRun run =
        RunTool({QStringLiteral("--generations"), QStringLiteral("1"), QStringLiteral("--out"), dir.path()});
    const QString line = QStringLiteral("cannot write %1: %2").arg(blocked, QString::fromLocal8Bit(strerror(EISDIR)));

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.endsWith(QStringLiteral("ramulon-evolve: ") + line + QLatin1Char('\n')))
        << run.err.toStdString();
    const QJsonObject record = ReadJson(dir.filePath(QStringLiteral("run.json")));
    EXPECT_EQ(record[QStringLiteral("state")].toString(), QStringLiteral("failed"));
    EXPECT_EQ(record[QStringLiteral("error")].toString(), line);
    EXPECT_FALSE(record[QStringLiteral("ended")].toString().isEmpty());
    // Nothing half-written: no temporary file is left, and the lock went with the run.
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"best-1.mtl", "best-1.obj", "best-1.png", "checkpoint.bin", "compare-1.png", "index.html",
                           "run.json", "target.png"}));
}

namespace {

// A PNG that declares a size and holds an empty data chunk: enough for a reader to see the size.
QByteArray PngHeaderOnly(quint32 width, quint32 height) {
    const auto crc = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (const char byte : bytes) {
            c ^= static_cast<unsigned char>(byte);
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    const auto big = [](quint32 v) {
        const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                               static_cast<char>(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray header = "IHDR" + big(width) + big(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    const QByteArray data = "IDAT";
    const QByteArray end = "IEND";
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + big(13) + header + big(crc(header)) + big(0) + data + big(crc(data)) +
           big(0) + end + big(crc(end));
}

// A JPEG of busy content, so that its first 2,000 bytes are well short of the whole file.
QByteArray JpegBytes() {
    QImage picture(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x ^ y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 90);
    return bytes;
}

}  // namespace

// Scripts read the first line alone, so the licence must come after it; --version wins over a run.
TEST(EvolveTool, VersionGivesTheVersionLineFirstThenTheLicenceAndRunsNothing) {
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("run"));
    const ToolRun run = RunTool({QStringLiteral("--version"), QStringLiteral("--out"), folder});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    EXPECT_EQ(lines.first(), QStringLiteral("ramulon-evolve ") + QString::fromUtf8(kApplicationVersion));
    EXPECT_TRUE(lines.contains(QStringLiteral("License MIT: <https://opensource.org/license/mit>")))
        << run.out.toStdString();
    EXPECT_FALSE(QDir(folder).exists());
}

TEST(EvolveTool, BadInputEndsWithOneLineAndStatus2AndWritesNothing) {
    QTemporaryDir scratch;
    const auto path = [&](const char* name) { return scratch.filePath(QString::fromUtf8(name)); };
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("notes.txt", "not a picture\n");
    write("huge.png", PngHeaderOnly(10000, 10000));
    write("empty.png", PngHeaderOnly(0, 0));
    QDir().mkpath(path("earlier"));
    write("earlier/run.json", "{\"state\": \"finished\"}\n");
    QDir().mkpath(path("pictures"));
    const QByteArray jpeg = JpegBytes();
    ASSERT_GT(jpeg.size(), 4000);
    write("cut.jpg", jpeg.left(2000));
    // A live run's lock, as the tool takes it: this process holds the folder while the cases run.
    QDir().mkpath(path("held"));
    CFolderLock lock;
    bool inUse = false;
    ASSERT_EQ(lock.Take(path("held"), inUse), QString());

    const QString fresh = path("fresh");
    struct Case {
        const char* what;
        QStringList arguments;
        const char* named;  // a word the error line must contain
    };
    const Case cases[] = {
        {"an unknown option", {"--frobnicate", "--out", fresh}, "--frobnicate"},
        {"negative generations", {"--generations", "-1", "--out", fresh}, "--generations"},
        {"absurd presses", {"--presses", "99999999999999999999", "--out", fresh}, "--presses"},
        {"no output folder", {"--generations", "1"}, "--out"},
        {"a missing target", {"--target", path("missing.png"), "--out", fresh}, "missing.png"},
        {"a target that is no picture", {"--target", path("notes.txt"), "--out", fresh}, "notes.txt"},
        {"a target over 64 megapixels", {"--target", path("huge.png"), "--out", fresh}, "megapixels"},
        {"a target of no pixels", {"--target", path("empty.png"), "--out", fresh}, "empty.png"},
        {"a folder below a file", {"--out", path("notes.txt/run")}, "notes.txt"},
        {"a folder holding a run", {"--out", path("earlier")}, "--force"},
        {"a target that is a folder", {"--target", path("pictures"), "--out", fresh}, "is a folder"},
        {"a JPEG cut short", {"--target", path("cut.jpg"), "--out", fresh}, "cut.jpg is damaged"},
        {"a folder another run holds", {"--out", path("held")}, "held is in use"},
        {"a folder another run holds, with --force", {"--force", "--out", path("held")}, "held is in use"},
    };
    const QStringList before = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const Case& c : cases) {
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, 2) << c.what;
        EXPECT_TRUE(run.err.startsWith(QLatin1String("ramulon-evolve: "))) << c.what << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.what;
        EXPECT_EQ(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before) << c.what;
        EXPECT_EQ(QDir(path("earlier")).entryList(QDir::Files), QStringList{QStringLiteral("run.json")}) << c.what;
        EXPECT_EQ(ReadAll(path("earlier/run.json")), QByteArray("{\"state\": \"finished\"}\n")) << c.what;
        EXPECT_EQ(QDir(path("held")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QLatin1String(kLockName)})
            << c.what;
    }
}
