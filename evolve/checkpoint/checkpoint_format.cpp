#include "evolve/checkpoint/checkpoint_format.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr char kMagic[] = "RAMULON-CKPT";
constexpr qsizetype kMagicSize = sizeof kMagic - 1;
constexpr qsizetype kHeaderSize = kMagicSize + 4 + 8;
constexpr qsizetype kDigestSize = 32;
// Far above any real run, so that a damaged count cannot ask for gigabytes before the reader notices.
constexpr std::uint32_t kMostRecords = 100'000'000;
constexpr int kLargestSide = 65535;
// The largest count a JSON number holds exactly.
constexpr qint64 kExactInJson = qint64{1} << 53;

QByteArray Digest(const char* data, qsizetype size) {
    return QCryptographicHash::hash(QByteArrayView(data, size), QCryptographicHash::Sha256);
}

class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : out(out) {}
    void Unsigned(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
    void U32(std::uint32_t value) { Unsigned(value, 4); }
    void I32(int value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
    void I64(long long value) { Unsigned(static_cast<std::uint64_t>(value), 8); }
    void F64(double value) { Unsigned(std::bit_cast<std::uint64_t>(value), 8); }
    void Count(std::size_t count) { U32(static_cast<std::uint32_t>(count)); }

private:
    QByteArray& out;
};

// Reads in order; after the first read past the end every read gives 0 and Ok() stays false.
class ByteReader {
public:
    ByteReader(const char* data, qsizetype size) : data(data), size(size) {}
    std::uint64_t Unsigned(int bytes) {
        if (!ok || size - at < bytes) {
            ok = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
        at += bytes;
        return value;
    }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    int I32() { return static_cast<int>(static_cast<std::int32_t>(U32())); }
    long long I64() { return static_cast<long long>(Unsigned(8)); }
    double F64() { return std::bit_cast<double>(Unsigned(8)); }
    // A count of records of recordSize bytes each that the rest of the body can hold; 0 and not Ok() otherwise.
    std::uint32_t Count(qsizetype recordSize) {
        const std::uint32_t count = U32();
        if (count > kMostRecords || static_cast<qsizetype>(count) * recordSize > size - at) ok = false;
        return ok ? count : 0;
    }
    QByteArray Take(qsizetype bytes) {
        if (!ok || size - at < bytes) {
            ok = false;
            return {};
        }
        QByteArray taken(data + at, bytes);
        at += bytes;
        return taken;
    }
    bool Ok() const { return ok; }
    bool AtEnd() const { return at == size; }

private:
    const char* data;
    qsizetype size;
    qsizetype at = 0;
    bool ok = true;
};

constexpr int kBranchDoubles = 6;
// fitness, radius, taper, scale, slices, stacks, the branches and the noise count.
constexpr qsizetype kTreeFixedSize = 4 * 8 + 2 * 4 + kBranchCount * kBranchDoubles * 8 + 4;
constexpr qsizetype kNoiseRecordSize = 3 * 8;

void WriteTree(ByteWriter& out, const SavedTree& tree) {
    out.F64(tree.fitness);
    out.F64(tree.genome.radius);
    out.F64(tree.genome.taper);
    out.F64(tree.genome.scale);
    out.I32(tree.genome.slices);
    out.I32(tree.genome.stacks);
    for (const BranchGene& b : tree.genome.branches) {
        for (const double value :
             {b.azimuth, b.inclination, b.inclinationSpread, b.azimuthSpread, b.presence, b.position})
            out.F64(value);
    }
    out.Count(tree.noise.size());
    for (const NodeNoise& node : tree.noise) {
        out.F64(node.presence);
        out.F64(node.azimuth);
        out.F64(node.inclination);
    }
}

void ReadTree(ByteReader& in, SavedTree& tree) {
    tree.fitness = in.F64();
    tree.genome.radius = in.F64();
    tree.genome.taper = in.F64();
    tree.genome.scale = in.F64();
    tree.genome.slices = in.I32();
    tree.genome.stacks = in.I32();
    for (BranchGene& b : tree.genome.branches) {
        for (double* value :
             {&b.azimuth, &b.inclination, &b.inclinationSpread, &b.azimuthSpread, &b.presence, &b.position})
            *value = in.F64();
    }
    tree.noise.resize(in.Count(kNoiseRecordSize));
    for (NodeNoise& node : tree.noise) {
        node.presence = in.F64();
        node.azimuth = in.F64();
        node.inclination = in.F64();
    }
}

QJsonObject Description(const RunState& state) {
    const RunOptions& o = state.options;
    QJsonObject options{{"presses", o.presses},
                        {"generations", o.generations},
                        {"randomize", o.randomizations},
                        {"target", o.targetFile.isEmpty() ? QJsonValue() : QJsonValue(o.targetFile)},
                        {"seed", o.seed ? QJsonValue(static_cast<qint64>(*o.seed)) : QJsonValue()},
                        {"jobs", o.jobs},
                        {"animation", o.animation}};
    return QJsonObject{{"program", "ramulon-evolve"},
                       {"version", state.version},
                       {"renderer", QJsonObject{{"name", state.rendererName}, {"version", state.rendererVersion}}},
                       {"options", options},
                       {"started", state.started},
                       {"panel", QJsonObject{{"width", state.panelWidth}, {"height", state.panelHeight}}},
                       {"press", state.press},
                       {"generationsDone", state.generationsDone},
                       {"evaluations", static_cast<qint64>(state.evaluations)},
                       {"seconds", state.seconds},
                       {"workers", state.workers},
                       {"randomState", static_cast<qint64>(state.randomState)}};
}

// Whole numbers in [least, most]; false for anything else, a fraction or a string among them.
bool ReadInteger(const QJsonValue& value, qint64 least, qint64 most, qint64& number) {
    if (!value.isDouble()) return false;
    const double d = value.toDouble();
    if (!(d >= static_cast<double>(least) && d <= static_cast<double>(most)) ||
        d != static_cast<double>(static_cast<qint64>(d)))
        return false;
    number = static_cast<qint64>(d);
    return true;
}

bool ReadDescription(const QJsonObject& json, RunState& state) {
    const QJsonObject renderer = json.value("renderer").toObject();
    const QJsonObject options = json.value("options").toObject();
    const QJsonObject panel = json.value("panel").toObject();
    if (json.value("program").toString() != QLatin1String("ramulon-evolve")) return false;
    state.version = json.value("version").toString();
    state.rendererName = renderer.value("name").toString();
    state.rendererVersion = renderer.value("version").toString();
    state.started = json.value("started").toString();
    const QJsonValue target = options.value("target");
    if (!target.isNull() && !target.isString()) return false;
    if (!options.value("animation").isBool()) return false;
    state.options.animation = options.value("animation").toBool();
    state.options.targetFile = target.toString();
    constexpr qint64 kIntMost = std::numeric_limits<int>::max();
    qint64 presses = 0, generations = 0, randomize = 0, jobs = 0, width = 0, height = 0, press = 0, done = 0,
           evaluations = 0, workers = 0, random = 0, seed = 0;
    const bool numbers = ReadInteger(options.value("presses"), 0, kIntMost, presses) &&
                         ReadInteger(options.value("generations"), 0, kIntMost, generations) &&
                         ReadInteger(options.value("randomize"), 0, kIntMost, randomize) &&
                         ReadInteger(options.value("jobs"), 0, kIntMost, jobs) &&
                         ReadInteger(panel.value("width"), 0, kIntMost, width) &&
                         ReadInteger(panel.value("height"), 0, kIntMost, height) &&
                         ReadInteger(json.value("press"), 1, kIntMost, press) &&
                         ReadInteger(json.value("generationsDone"), -1, kIntMost, done) &&
                         ReadInteger(json.value("evaluations"), 0, kExactInJson, evaluations) &&
                         ReadInteger(json.value("workers"), 0, kIntMost, workers) &&
                         ReadInteger(json.value("randomState"), 0, std::numeric_limits<std::uint32_t>::max(), random) &&
                         json.value("seconds").isDouble();
    if (!numbers) return false;
    if (options.value("seed").isNull()) {
        state.options.seed.reset();
    } else if (ReadInteger(options.value("seed"), 0, std::numeric_limits<std::uint32_t>::max(), seed)) {
        state.options.seed = static_cast<std::uint32_t>(seed);
    } else {
        return false;
    }
    state.options.presses = static_cast<int>(presses);
    state.options.generations = static_cast<int>(generations);
    state.options.randomizations = static_cast<int>(randomize);
    state.options.jobs = static_cast<int>(jobs);
    state.panelWidth = static_cast<int>(width);
    state.panelHeight = static_cast<int>(height);
    state.press = static_cast<int>(press);
    state.generationsDone = static_cast<int>(done);
    state.evaluations = evaluations;
    state.seconds = json.value("seconds").toDouble();
    state.workers = static_cast<int>(workers);
    state.randomState = static_cast<std::uint32_t>(random);
    return true;
}

}  // namespace

QByteArray CheckpointBytes(const RunState& state) {
    QByteArray body;
    ByteWriter out(body);
    const QByteArray description = QJsonDocument(Description(state)).toJson(QJsonDocument::Compact);
    out.Count(static_cast<std::size_t>(description.size()));
    body += description;
    for (const double value : {state.camera.center.x, state.camera.center.y, state.camera.center.z}) out.F64(value);
    for (const double value : state.camera.rotation.m) out.F64(value);
    for (const double value : {state.camera.offset.x, state.camera.offset.y, state.camera.offset.z}) out.F64(value);
    out.Count(state.presses.size());
    for (const PressRecord& press : state.presses) {
        out.I32(press.press);
        out.I32(press.generations);
        out.F64(press.bestFitness);
    }
    out.Count(state.rows.size());
    for (const FitnessRow& row : state.rows) {
        out.I32(row.press);
        out.I32(row.generation);
        out.I64(row.evaluations);
        for (const double value : {row.seconds, row.best, row.median, row.worst, row.geneDistance}) out.F64(value);
    }
    out.Count(2 + state.population.size());
    WriteTree(out, state.targetTree);
    WriteTree(out, state.best);
    for (const SavedTree& tree : state.population) WriteTree(out, tree);
    out.I32(state.targetWidth);
    out.I32(state.targetHeight);
    body.append(reinterpret_cast<const char*>(state.targetPicture.data()),
                static_cast<qsizetype>(state.targetPicture.size()));
    out.Count(state.animation.size());
    for (const AnimationFrame& frame : state.animation) {
        out.I32(frame.milliseconds);
        out.Count(static_cast<std::size_t>(frame.still.size()));
        body += frame.still;
    }

    QByteArray file(kMagic, kMagicSize);
    ByteWriter header(file);
    header.U32(kCheckpointFormatVersion);
    header.Unsigned(static_cast<std::uint64_t>(body.size()), 8);
    file += body;
    file += Digest(file.constData(), file.size());
    return file;
}

QString ParseCheckpoint(const QByteArray& bytes, RunState& state) {
    if (bytes.size() < kMagicSize || std::memcmp(bytes.constData(), kMagic, kMagicSize) != 0)
        return QStringLiteral("is not a ramulon-evolve checkpoint");
    ByteReader header(bytes.constData() + kMagicSize, bytes.size() - kMagicSize);
    const std::uint32_t version = header.U32();
    const std::uint64_t bodySize = header.Unsigned(8);
    if (!header.Ok()) return QStringLiteral("is cut short (%1 bytes)").arg(bytes.size());
    if (version != kCheckpointFormatVersion)
        return QStringLiteral("has format version %1; this ramulon-evolve reads version %2")
            .arg(version)
            .arg(kCheckpointFormatVersion);
    const auto available = static_cast<std::uint64_t>(bytes.size() - kHeaderSize);
    if (available < kDigestSize || bodySize > available - kDigestSize)
        return QStringLiteral("is cut short (%1 bytes)").arg(bytes.size());
    if (bodySize < available - kDigestSize)
        return QStringLiteral("is damaged: %1 bytes follow its end").arg(available - kDigestSize - bodySize);
    const qsizetype end = kHeaderSize + static_cast<qsizetype>(bodySize);
    if (Digest(bytes.constData(), end) != bytes.mid(end, kDigestSize))
        return QStringLiteral("is damaged: its SHA-256 does not match its contents");

    // From here on the bytes are as written; what fails now was not written by this format.
    const QString malformed =
        QStringLiteral("is damaged: its contents do not follow format version %1").arg(kCheckpointFormatVersion);
    ByteReader in(bytes.constData() + kHeaderSize, static_cast<qsizetype>(bodySize));
    const QByteArray description = in.Take(in.Count(1));
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(description, &error);
    if (!in.Ok() || error.error != QJsonParseError::NoError || !json.isObject() ||
        !ReadDescription(json.object(), state))
        return malformed;
    for (double* value : {&state.camera.center.x, &state.camera.center.y, &state.camera.center.z}) *value = in.F64();
    for (double& value : state.camera.rotation.m) value = in.F64();
    for (double* value : {&state.camera.offset.x, &state.camera.offset.y, &state.camera.offset.z}) *value = in.F64();
    state.presses.resize(in.Count(16));
    for (PressRecord& press : state.presses) {
        press.press = in.I32();
        press.generations = in.I32();
        press.bestFitness = in.F64();
    }
    state.rows.resize(in.Count(56));
    for (FitnessRow& row : state.rows) {
        row.press = in.I32();
        row.generation = in.I32();
        row.evaluations = in.I64();
        for (double* value : {&row.seconds, &row.best, &row.median, &row.worst, &row.geneDistance}) *value = in.F64();
    }
    const std::uint32_t trees = in.Count(kTreeFixedSize);
    if (!in.Ok() || trees < 2) return malformed;
    ReadTree(in, state.targetTree);
    ReadTree(in, state.best);
    state.population.resize(trees - 2);
    for (SavedTree& tree : state.population) ReadTree(in, tree);
    state.targetWidth = in.I32();
    state.targetHeight = in.I32();
    if (!in.Ok() || state.targetWidth < 0 || state.targetHeight < 0 || state.targetWidth > kLargestSide ||
        state.targetHeight > kLargestSide)
        return malformed;
    const QByteArray picture = in.Take(static_cast<qsizetype>(state.targetWidth) * state.targetHeight * 3);
    state.targetPicture.assign(picture.begin(), picture.end());
    state.animation.resize(in.Count(8));
    for (AnimationFrame& frame : state.animation) {
        frame.milliseconds = in.I32();
        frame.still = in.Take(in.Count(1));
        if (frame.milliseconds < 0) return malformed;
    }
    if (!in.Ok() || !in.AtEnd()) return malformed;
    return {};
}
