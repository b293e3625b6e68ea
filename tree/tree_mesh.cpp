#include "tree/tree_mesh.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "tree/cylinder_shape.h"
#include "tree/matrix4f.h"
#include "tree/tree_traversal.h"

namespace {

// Keeps a stack of node frames as the GL keeps its model-view stack, and places every segment's cylinder
// through the frame it is drawn in.
class MeshBuilder {
public:
    MeshBuilder(const TreeGenome& genome, const NoiseField& noise, TreeMesh& mesh)
        : genome(genome), noise(noise), mesh(mesh) {
        shape.Build(genome.radius, genome.radius * genome.taper, genome.slices, genome.stacks);
        Matrix4f tree;
        tree.Scale(genome.scale, genome.scale, genome.scale);
        frames.push_back(tree);
    }

    void Enter(int branch, int node) {
        const NodeTransform transform = NodeTransformOf(genome, branch, node, noise);
        Matrix4f frame = frames.back();
        frame.Translate(0.0, 0.0, transform.position);
        frame.Scale(transform.size, transform.size, transform.size);
        frame.RotateAboutZ(transform.azimuth);
        frame.RotateAboutX(transform.inclination);
        frames.push_back(frame);
    }

    void Segment(int) {
        ++mesh.segments;
        if (shape.Empty()) return;
        const Matrix4f& frame = frames.back();
        const NormalMatrix normalMatrix = NormalMatrixOf(frame);
        const int first = static_cast<int>(mesh.positions.size() / 3);
        for (int v = 0; v < shape.VertexCount(); ++v) {
            const float* p = &shape.positions[3 * static_cast<std::size_t>(v)];
            const float* n = &shape.normals[3 * static_cast<std::size_t>(v)];
            for (int row = 0; row < 3; ++row) {
                const double placed = static_cast<double>(frame.At(row, 0)) * p[0] +
                                      static_cast<double>(frame.At(row, 1)) * p[1] +
                                      static_cast<double>(frame.At(row, 2)) * p[2] + frame.At(row, 3);
                mesh.positions.push_back(static_cast<float>(placed));
            }
            AppendNormal(normalMatrix, n);
        }
        // Quad i of a strip runs lower i, upper i, upper i + 1, lower i + 1: counter-clockwise from
        // outside, as the quadric orients its faces.
        const int strip = shape.StripVertexCount();
        for (int stack = 0; stack < shape.stacks; ++stack) {
            for (int i = 0; i < shape.slices; ++i) {
                const int lower = first + stack * strip + 2 * i;
                const int upper = lower + 1, nextLower = lower + 2, nextUpper = lower + 3;
                mesh.triangles.insert(mesh.triangles.end(), {lower, upper, nextUpper, lower, nextUpper, nextLower});
            }
        }
    }

    void Leave() { frames.pop_back(); }

private:
    using NormalMatrix = std::array<double, 9>;  // row-major 3 x 3

    // Normals go through the inverse transpose of the frame's linear part; its cofactor matrix is that up
    // to a positive factor (the determinant), which the renormalising removes.
    static NormalMatrix NormalMatrixOf(const Matrix4f& frame) {
        const auto a = [&](int row, int column) { return static_cast<double>(frame.At(row, column)); };
        NormalMatrix cofactors;
        for (int row = 0; row < 3; ++row) {
            const int r1 = (row + 1) % 3, r2 = (row + 2) % 3;
            for (int column = 0; column < 3; ++column) {
                const int c1 = (column + 1) % 3, c2 = (column + 2) % 3;
                cofactors[3 * row + column] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
            }
        }
        return cofactors;
    }

    // A frame shrunk to nothing has no normal direction of its own; like a GL that cannot invert the
    // matrix, the mesh then keeps the cylinder's own normal.
    void AppendNormal(const NormalMatrix& normalMatrix, const float* n) {
        double turned[3];
        for (int row = 0; row < 3; ++row)
            turned[row] =
                normalMatrix[3 * row] * n[0] + normalMatrix[3 * row + 1] * n[1] + normalMatrix[3 * row + 2] * n[2];
        double length = std::sqrt(turned[0] * turned[0] + turned[1] * turned[1] + turned[2] * turned[2]);
        if (!(length > 0.0) || !std::isfinite(length)) {
            for (int row = 0; row < 3; ++row) turned[row] = n[row];
            length = std::sqrt(turned[0] * turned[0] + turned[1] * turned[1] + turned[2] * turned[2]);
        }
        for (double component : turned) mesh.normals.push_back(static_cast<float>(component / length));
    }

    const TreeGenome& genome;
    const NoiseField& noise;
    TreeMesh& mesh;
    CylinderShape shape;
    std::vector<Matrix4f> frames;
};

}  // namespace

TreeMesh BuildTreeMesh(const TreeGenome& genome, int depth, const NoiseField& noise) {
    TreeMesh mesh;
    MeshBuilder builder(genome, noise, mesh);
    VisitTree(genome, depth, noise, builder);
    return mesh;
}
