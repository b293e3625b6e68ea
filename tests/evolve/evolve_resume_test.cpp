// A run that goes on from its checkpoint as a user meets it: killed at any moment and continued with the
// same command line, it ends with the files of a run never stopped; it goes on only with its own
// options and an intact checkpoint, and a refusal changes nothing; a full disk keeps the checkpoint before.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "tests/evolve/tool_files.h"

namespace {

QMap<QString, QByteArray> Contents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        contents[name] = ReadAll(dir.filePath(name));
    return contents;
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Returns once a temporary of the checkpoint appears in the folder, that is while one is being written,
// or once the tool has ended.
void WaitForCheckpointBeingWritten(QProcess& tool, int watch) {
    char events[4096];
    while (tool.state() == QProcess::Running) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 10) <= 0) continue;
        const ssize_t length = read(watch, events, sizeof events);
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->len > 0 && QByteArray(event->name).startsWith(".checkpoint.bin.")) return;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

// Takes the small file system away again however the test ends.
struct Mounted {
    QByteArray path;
    ~Mounted() { umount2(path.constData(), MNT_DETACH); }
};

}  // namespace

TEST(EvolveResume, KilledAtTenMomentsAndContinuedEachTimeARunEndsWithTheFilesOfOneNeverStopped) {
    QTemporaryDir scratch;
    const QString reference = scratch.filePath(QStringLiteral("reference"));
    const QString killed = scratch.filePath(QStringLiteral("killed"));
    const QStringList run = {QStringLiteral("--presses"),          QStringLiteral("2"),
                             QStringLiteral("--generations"),      QStringLiteral("4"),
                             QStringLiteral("--checkpoint-every"), QStringLiteral("0")};
    QElapsedTimer uninterrupted;
    uninterrupted.start();
    ASSERT_EQ(
        RunTool(run + QStringList{QStringLiteral("--jobs"), QStringLiteral("2"), QStringLiteral("--out"), reference})
            .status,
        0);
    // Moments within a sixth of the whole run, so that ten kills, each costing a start and the work
    // since the last checkpoint, come before the run could end, however fast the machine.
    const int latest = std::max(300, static_cast<int>(uninterrupted.elapsed() / 6));

    // Watched from the start, so that a kill can come while the first checkpoint is written.
    ASSERT_TRUE(QDir().mkpath(killed));
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(killed).constData(), IN_CREATE), 0);
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> milliseconds(100, latest);
    int killedWhileWriting = 0;
    for (int kill = 0; kill < 10; ++kill) {
        // What the runs before made is no sign of this one writing.
        char stale[4096];
        while (read(watch, stale, sizeof stale) > 0) {
        }
        // The same command line every time, as a requeued batch job has; the jobs change no result.
        QProcess tool;
        tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE),
                   run + QStringList{QStringLiteral("--jobs"), QString::number(1 + kill % 3), QStringLiteral("--out"),
                                     killed, QStringLiteral("--continue")});
        ASSERT_TRUE(tool.waitForStarted());
        const bool whileWriting = kill % 3 == 1;
        if (whileWriting)
            WaitForCheckpointBeingWritten(tool, watch);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(random)));
        ASSERT_EQ(tool.state(), QProcess::Running) << "kill " << kill << " came after the run had ended";
        tool.kill();
        tool.waitForFinished(-1);
        // A temporary left behind shows that the kill came before the checkpoint was in place.
        for (const QString& name : QDir(killed).entryList(QDir::Files | QDir::Hidden))
            if (whileWriting && name.startsWith(QLatin1String(".checkpoint.bin."))) ++killedWhileWriting;
    }
    close(watch);
    const ToolRun last = RunTool(run + QStringList{QStringLiteral("--jobs"), QStringLiteral("2"),
                                                   QStringLiteral("--out"), killed, QStringLiteral("--continue")});
    ASSERT_EQ(last.status, 0) << last.err.toStdString();
    EXPECT_GE(killedWhileWriting, 1) << "no kill came while a checkpoint was written";
    ExpectSameFiles(reference, killed, "killed ten times");
}

TEST(EvolveResume, ARunGoesOnOnlyWithItsOwnOptionsAndAnIntactCheckpointAndARefusalChangesNothing) {
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("run"));
    const QStringList options = {QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--generations"),
                                 QStringLiteral("2")};
    ASSERT_EQ(RunTool(options + QStringList{QStringLiteral("--out"), folder}).status, 0);
    const QMap<QString, QByteArray> finished = Contents(folder);
    const QByteArray checkpoint = finished.value(QStringLiteral("checkpoint.bin"));
    RunState state;
    ASSERT_EQ(ParseCheckpoint(checkpoint, state), QString());
    RunState drawnElsewhere = state;
    drawnElsewhere.rendererName = QStringLiteral("another renderer");
    QByteArray flipped = checkpoint;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x10);
    QByteArray newer = checkpoint;
    newer[12] = 3;  // the format version follows the 12 bytes that name the format

    struct Refusal {
        QStringList arguments;
        QByteArray checkpoint;
        const char* says;
    };
    const QStringList resume = {QStringLiteral("--resume"), folder};
    const Refusal refusals[] = {
        {resume + QStringList{QStringLiteral("--seed"), QStringLiteral("6")}, checkpoint,
         "--seed 6 differs from the run's 5"},
        {QStringList{QStringLiteral("--out"), folder, QStringLiteral("--continue"), QStringLiteral("--generations"),
                     QStringLiteral("3")},
         checkpoint, "--generations 3 differs from the run's 2"},
        {resume + QStringList{QStringLiteral("--presses"), QStringLiteral("0")}, checkpoint,
         "--presses 0 is fewer than"},
        {resume + QStringList{QStringLiteral("--no-animation")}, checkpoint, "--no-animation differs from the run"},
        {resume, flipped, "checkpoint.bin is damaged: its SHA-256 does not match its contents"},
        {resume, checkpoint.left(checkpoint.size() - 100), "checkpoint.bin is cut short"},
        {resume, newer, "checkpoint.bin has format version 3; this ramulon-evolve reads version 2"},
        {resume, finished.value(QStringLiteral("best-1.png")), "checkpoint.bin is not a ramulon-evolve checkpoint"},
        // A finished run is extended by one more press, which would be drawn here.
        {resume + QStringList{QStringLiteral("--presses"), QStringLiteral("2")}, CheckpointBytes(drawnElsewhere),
         "was drawn by another renderer"},
    };
    for (const Refusal& refusal : refusals) {
        Put(QDir(folder).filePath(QStringLiteral("checkpoint.bin")), refusal.checkpoint);
        QMap<QString, QByteArray> before = finished;
        before[QStringLiteral("checkpoint.bin")] = refusal.checkpoint;
        const ToolRun refused = RunTool(refusal.arguments);
        EXPECT_EQ(refused.status, 2) << refusal.says;
        EXPECT_TRUE(refused.err.startsWith(QStringLiteral("ramulon-evolve: ")) && refused.err.count('\n') == 1 &&
                    refused.err.contains(QLatin1String(refusal.says)))
            << refused.err.toStdString();
        EXPECT_TRUE(Contents(folder) == before) << refusal.says << ": the folder changed";
    }
    Put(QDir(folder).filePath(QStringLiteral("checkpoint.bin")), checkpoint);

    const QString empty = scratch.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(empty));
    const ToolRun nothing = RunTool({QStringLiteral("--resume"), empty});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_TRUE(nothing.err.contains(QLatin1String("holds no run to go on with"))) << nothing.err.toStdString();

    // The line that started the run, given again once it has ended, changes nothing.
    const ToolRun again = RunTool(options + QStringList{QStringLiteral("--out"), folder, QStringLiteral("--continue")});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.err.contains(QLatin1String("nothing to do"))) << again.err.toStdString();
    EXPECT_TRUE(Contents(folder) == finished);

    // More presses extend the run to what a run of that many would have been.
    const QString longer = scratch.filePath(QStringLiteral("longer"));
    ASSERT_EQ(RunTool(options +
                      QStringList{QStringLiteral("--presses"), QStringLiteral("2"), QStringLiteral("--out"), longer})
                  .status,
              0);
    ASSERT_EQ(RunTool(resume + QStringList{QStringLiteral("--presses"), QStringLiteral("2")}).status, 0);
    ExpectSameFiles(longer, folder, "a finished run extended by a press");
}

TEST(EvolveResume, AFullDiskWhileTheCheckpointIsWrittenLeavesThePreviousOneToGoOnFrom) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir scratch;
    const QString disk = scratch.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(disk));
    // Room for one checkpoint and the run's small files, not for a second checkpoint beside the first.
    ASSERT_EQ(mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=8m"), 0) << strerror(errno);
    const Mounted mounted{QFile::encodeName(disk)};
    const QString folder = QDir(disk).filePath(QStringLiteral("run"));
    const QStringList options = {QStringLiteral("--seed"),
                                 QStringLiteral("3"),
                                 QStringLiteral("--generations"),
                                 QStringLiteral("2"),
                                 QStringLiteral("--checkpoint-every"),
                                 QStringLiteral("0")};
    const ToolRun full = RunTool(options + QStringList{QStringLiteral("--out"), folder});
    const QString checkpointPath = QDir(folder).filePath(QStringLiteral("checkpoint.bin"));
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.endsWith(
        QStringLiteral("ramulon-evolve: cannot write %1: No space left on device\n").arg(checkpointPath)))
        << full.err.toStdString();
    RunState kept;
    EXPECT_EQ(ParseCheckpoint(ReadAll(checkpointPath), kept), QString());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".tmp")).isEmpty());

    // Once there is room again, the run goes on from the checkpoint that the full disk left.
    ASSERT_EQ(mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", MS_REMOUNT, "size=64m"), 0)
        << strerror(errno);
    const ToolRun resumed = RunTool({QStringLiteral("--resume"), folder});
    EXPECT_EQ(resumed.status, 0) << resumed.err.toStdString();
    const QString reference = scratch.filePath(QStringLiteral("reference"));
    ASSERT_EQ(RunTool(options + QStringList{QStringLiteral("--out"), reference}).status, 0);
    ExpectSameFiles(reference, folder, "after a full disk");
}
