// ramulon-evolve's render worker processes as a user meets them: the same files for any number of
// them, a worker killed during a press costs nothing, and none outlives a killed run.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/evolve/tool_files.h"

namespace {

// The render workers that the run with this process id started, found by their command line.
std::vector<pid_t> WorkersOf(qint64 run) {
    std::vector<pid_t> workers;
    const QByteArray parent = '\0' + QByteArray::number(run) + '\0';
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid) continue;
        const QByteArray commandLine = ReadAll(QStringLiteral("/proc/%1/cmdline").arg(pid));
        const QByteArray state = ReadAll(QStringLiteral("/proc/%1/stat").arg(pid));
        // A zombie has ended; only who reaps it is left to do that.
        const bool zombie = state.mid(state.lastIndexOf(')') + 2, 1) == "Z";
        if (commandLine.contains("ramulon-render-worker") && commandLine.endsWith(parent) && !zombie)
            workers.push_back(pid);
    }
    return workers;
}

struct ToolProcess {
    QProcess tool;
    QByteArray err;
    void Start(const QStringList& arguments) {
        // Progress comes on standard error, and waiting for it must wait there.
        tool.setReadChannel(QProcess::StandardError);
        tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE), arguments);
        ASSERT_TRUE(tool.waitForStarted());
    }
    // Standard error until it holds `text` or the tool ends.
    void WaitFor(const char* text) {
        while (!err.contains(text) && tool.state() == QProcess::Running) {
            tool.waitForReadyRead(-1);
            err += tool.readAllStandardError();
        }
    }
    int Finish() {
        tool.waitForFinished(-1);
        err += tool.readAllStandardError();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
};

QStringList Options(const QString& folder, int jobs) {
    return {QStringLiteral("--generations"), QStringLiteral("2"),     QStringLiteral("--jobs"),
            QString::number(jobs),           QStringLiteral("--out"), folder};
}

}  // namespace

TEST(EvolveWorkers, AnyNumberOfWorkersAndAWorkerKilledDuringAPressGiveTheSameFiles) {
    QTemporaryDir scratch;
    const QString reference = scratch.filePath(QStringLiteral("jobs-1"));
    ToolProcess serial;
    serial.Start(Options(reference, 1));
    ASSERT_EQ(serial.Finish(), 0) << serial.err.toStdString();
    EXPECT_TRUE(WorkersOf(serial.tool.processId()).empty());

    for (int jobs : {3, 8}) {
        const QString folder = scratch.filePath(QStringLiteral("jobs-%1").arg(jobs));
        ToolProcess run;
        run.Start(Options(folder, jobs));
        ASSERT_EQ(run.Finish(), 0) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("ramulon:")) << run.err.toStdString();
        ExpectSameFiles(reference, folder, std::to_string(jobs) + " jobs");
    }

    const QString killed = scratch.filePath(QStringLiteral("killed"));
    ToolProcess run;
    run.Start(Options(killed, 2));
    // In the first generation's breeding, with both workers at work.
    run.WaitFor("generation 0/2");
    std::vector<pid_t> workers = WorkersOf(run.tool.processId());
    ASSERT_EQ(workers.size(), 2u) << run.err.toStdString();
    kill(workers.front(), SIGKILL);
    ASSERT_EQ(run.Finish(), 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains("ramulon: a render worker was lost (killed by signal 9); its candidates are scored again\n"))
        << run.err.toStdString();
    ExpectSameFiles(reference, killed, "a worker killed");
}

TEST(EvolveWorkers, NoWorkerOutlivesAKilledRun) {
    QTemporaryDir scratch;
    ToolProcess run;
    run.Start(Options(scratch.filePath(QStringLiteral("run")), 2));
    run.WaitFor("generation 0/2");
    const qint64 pid = run.tool.processId();
    ASSERT_EQ(WorkersOf(pid).size(), 2u) << run.err.toStdString();
    kill(static_cast<pid_t>(pid), SIGKILL);
    run.Finish();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_TRUE(WorkersOf(pid).empty());
}
