// What the tool's writers could get wrong on their own, without a run: the fitting of a user's picture
// to the panel, trees written as data and as meshes and read back, the distance between genomes, and
// the report page of a run that was stopped.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <limits>
#include <sstream>

#include "evolve/pictures/target_picture.h"
#include "evolve/record/genome_distance.h"
#include "evolve/report/report_page.h"
#include "evolve/tree_files/tree_json.h"
#include "evolve/tree_files/tree_obj.h"
#include "tree/individual.h"
#include "tree/tree_mesh.h"

namespace {

constexpr int kPanelWidth = 308;
constexpr int kPanelHeight = 361;

bool IsWhite(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 250; }
bool IsBlack(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }

}  // namespace

TEST(TargetPicture, FittingKeepsTheAspectCentresThePictureAndFillsTheBarsBlack) {
    struct Case {
        const char* what;
        QSize size;
        QRect covered;  // where the picture lands on the 308 x 361 panel
    };
    const Case cases[] = {
        {"wide: bars above and below", {200, 100}, {0, 103, 308, 154}},
        {"tall: bars left and right", {100, 400}, {109, 0, 90, 361}},
        {"the panel's aspect: no bars", {616, 722}, {0, 0, 308, 361}},
        {"one pixel, scaled up", {1, 1}, {0, 26, 308, 308}},
    };
    for (const Case& c : cases) {
        QImage picture(c.size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QImage panel = FitToPanel(picture, kPanelWidth, kPanelHeight);
        ASSERT_EQ(panel.size(), QSize(kPanelWidth, kPanelHeight)) << c.what;
        const QRect r = c.covered;
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            EXPECT_TRUE(IsWhite(panel, corner.x(), corner.y())) << c.what << " at " << corner.x() << ',' << corner.y();
        if (r.top() > 0) {
            EXPECT_TRUE(IsBlack(panel, r.center().x(), r.top() - 1)) << c.what;
            EXPECT_TRUE(IsBlack(panel, r.center().x(), r.bottom() + 1)) << c.what;
        }
        if (r.left() > 0) {
            EXPECT_TRUE(IsBlack(panel, r.left() - 1, r.center().y())) << c.what;
            EXPECT_TRUE(IsBlack(panel, r.right() + 1, r.center().y())) << c.what;
        }
    }

    QImage clear(50, 50, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_TRUE(IsBlack(FitToPanel(clear, kPanelWidth, kPanelHeight), kPanelWidth / 2, kPanelHeight / 2))
        << "transparent parts must be black, like the panel's background";
}

TEST(TreeJson, ReadsBackAsExactlyTheSameGenomeAndNoise) {
    const CIndividual tree;
    const QByteArray text = QByteArray::fromStdString(TreeJson(tree.genome, tree.noise, kIndividualDepth, 0.0123, 2));
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(text, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(json[QStringLiteral("press")].toInt(), 2);
    EXPECT_EQ(json[QStringLiteral("fitness")].toDouble(), 0.0123);
    EXPECT_EQ(json[QStringLiteral("depth")].toInt(), kIndividualDepth);

    const QJsonObject g = json[QStringLiteral("genome")].toObject();
    TreeGenome genome;
    genome.radius = g[QStringLiteral("radius")].toDouble();
    genome.taper = g[QStringLiteral("taper")].toDouble();
    genome.scale = g[QStringLiteral("scale")].toDouble();
    genome.slices = g[QStringLiteral("slices")].toInt();
    genome.stacks = g[QStringLiteral("stacks")].toInt();
    const QJsonArray branches = g[QStringLiteral("branches")].toArray();
    ASSERT_EQ(branches.size(), kBranchCount);
    for (int i = 0; i < kBranchCount; ++i) {
        const QJsonObject b = branches[i].toObject();
        BranchGene& gene = genome.branches[i];
        gene.azimuth = b[QStringLiteral("azimuth")].toDouble();
        gene.inclination = b[QStringLiteral("inclination")].toDouble();
        gene.inclinationSpread = b[QStringLiteral("inclinationSpread")].toDouble();
        gene.azimuthSpread = b[QStringLiteral("azimuthSpread")].toDouble();
        gene.presence = b[QStringLiteral("presence")].toDouble();
        gene.position = b[QStringLiteral("position")].toDouble();
    }
    EXPECT_TRUE(genome == tree.genome);

    const QJsonArray noise = json[QStringLiteral("noise")].toArray();
    ASSERT_EQ(noise.size(), tree.noise.Count());
    int differing = 0;
    for (int node = 0; node < tree.noise.Count(); ++node) {
        const QJsonArray record = noise[node].toArray();
        const NodeNoise& expected = tree.noise[node];
        differing += record.size() != 3 || record[0].toDouble() != expected.presence ||
                     record[1].toDouble() != expected.azimuth || record[2].toDouble() != expected.inclination;
    }
    EXPECT_EQ(differing, 0);
}

TEST(GenomeDistance, EachGeneCountsByItsShareOfItsRange) {
    TreeGenome low;
    low.radius = low.taper = 0.0;
    for (BranchGene& gene : low.branches) gene = BranchGene{};
    TreeGenome high = low;
    high.radius = 0.5;
    high.taper = 0.75;
    for (BranchGene& gene : high.branches) gene = BranchGene{360.0, 90.0, 90.0, 180.0, 1.0, 1.0};
    TreeGenome halfAzimuth = low;
    halfAzimuth.branches[3].azimuth = 180.0;
    TreeGenome fullTaper = low;
    fullTaper.taper = 0.75;

    struct Case {
        const char* what;
        const TreeGenome& a;
        const TreeGenome& b;
        double distance;
    };
    const Case cases[] = {
        {"equal genomes", high, high, 0.0},
        {"every gene at the other end of its range", low, high, 1.0},
        {"one azimuth half way round", low, halfAzimuth, 0.5 / 32},
        {"the taper across its range", fullTaper, low, 1.0 / 32},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(GenomeDistance(c.a, c.b), c.distance) << c.what;
}

TEST(TreeObj, EveryTriangleBecomesAFaceOfOneBasedIndicesIntoTheVerticesAndNormals) {
    const CIndividual tree;
    const TreeMesh mesh = BuildTreeMesh(tree.genome, kIndividualDepth, tree.noise);
    ASSERT_FALSE(mesh.triangles.empty());
    std::istringstream obj(TreeObj(mesh, "best-1", "a test tree", "best-1.mtl"));

    std::vector<float> positions;
    long normals = 0, faces = 0, badCorners = 0;
    long lowest = std::numeric_limits<long>::max(), highest = 0;
    for (std::string line; std::getline(obj, line);) {
        std::istringstream fields(line);
        std::string keyword;
        fields >> keyword;
        if (keyword == "v") {
            float x, y, z;
            fields >> x >> y >> z;
            positions.insert(positions.end(), {x, y, z});
        } else if (keyword == "vn") {
            ++normals;
        } else if (keyword == "f") {
            ++faces;
            int corners = 0;
            for (std::string corner; fields >> corner; ++corners) {
                const std::size_t slashes = corner.find("//");
                const long v = std::stol(corner.substr(0, slashes));
                const long n = slashes == std::string::npos ? -1 : std::stol(corner.substr(slashes + 2));
                badCorners += v != n;
                lowest = std::min(lowest, v);
                highest = std::max(highest, v);
            }
            badCorners += corners != 3 ? 1 : 0;
        }
    }
    const long vertices = static_cast<long>(mesh.positions.size() / 3);
    EXPECT_EQ(faces, static_cast<long>(mesh.triangles.size() / 3));
    EXPECT_EQ(static_cast<long>(positions.size() / 3), vertices);
    EXPECT_EQ(normals, static_cast<long>(mesh.normals.size() / 3));
    EXPECT_EQ(badCorners, 0) << "every corner is v//vn with one index for both, three to a face";
    EXPECT_EQ(lowest, 1 + *std::min_element(mesh.triangles.begin(), mesh.triangles.end()));
    EXPECT_EQ(highest, 1 + *std::max_element(mesh.triangles.begin(), mesh.triangles.end()));
    EXPECT_LE(highest, vertices);
    EXPECT_TRUE(positions == mesh.positions) << "coordinates must read back as the same floats";
}

TEST(ReportPage, AStoppedRunSaysSoEscapesWhatTheUserGaveAndNamesOnlyFilesThatAreThere) {
    RunRecord record;
    record.options.presses = 2;
    record.options.targetFile = QStringLiteral("pictures/<oak> & \"elm\".png");
    record.state = QStringLiteral("interrupted");
    record.signal = QStringLiteral("SIGTERM");
    record.presses = {PressRecord{1, 17, 0.0123}};
    const auto exists = [](const QString& name) { return name != QLatin1String("best-1.obj"); };
    const std::string page = ReportPage(record, {}, exists);

    EXPECT_NE(page.find("Stopped by SIGTERM after 17 generations of press 1 of 2."), std::string::npos);
    EXPECT_NE(page.find("pictures/&lt;oak&gt; &amp; &quot;elm&quot;.png"), std::string::npos);
    EXPECT_EQ(page.find("<oak>"), std::string::npos);
    EXPECT_NE(page.find("href=\"best-1.json\""), std::string::npos);
    EXPECT_EQ(page.find("best-1.obj"), std::string::npos);
    // With a picture of the user's there is no target tree to measure the distance to.
    EXPECT_EQ(page.find("Gene distance"), std::string::npos);
}
