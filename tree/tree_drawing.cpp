#include "tree/tree_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "tree/random_sources.h"
#include "tree/tree_drawing_seam.h"

namespace {

// One quadric serves every segment of every tree in both panels for the life of the process. A quadric
// holds only GLU's drawing settings, no GL objects, so it outlives the per-render contexts safely and is
// deliberately never deleted.
GLUquadric* sharedQuadric = nullptr;

TreeDrawingLog* drawingLog = nullptr;

void NoteNode(int node) {
    if (drawingLog != nullptr) drawingLog->nodes.push_back(node);
}

}  // namespace

void WatchTreeDrawing(TreeDrawingLog* log) { drawingLog = log; }

void DrawTree(const TreeGenome& genome, int depth, const NoiseField& noise) {
    glColor3d(0.75, 0.5, 0.25);
    // Node frames are scaled, so normals must be renormalised for the lighting to stay right.
    glEnable(GL_NORMALIZE);
    glPushMatrix();
    glScaled(genome.scale, genome.scale, genome.scale);
    // The root has no presence test and no transform of its own; its noise record is never read.
    NoteNode(0);
    DrawSegment(genome);
    for (int i = 0; i < kBranchCount; ++i) DrawNode(genome, depth - 1, i, i + 1, noise);
    glPopMatrix();
}

void DrawNode(const TreeGenome& genome, int levels, int branch, int node, const NoiseField& noise) {
    const BranchGene& gene = genome.branches[branch];
    // A missing node takes its whole subtree with it, whatever the draws below say.
    if (noise[node].presence > gene.presence) return;
    glPushMatrix();
    ApplyNodeTransform(genome, branch, node, noise);
    NoteNode(node);
    DrawSegment(genome);
    if (levels >= 1) {
        for (int i = 0; i < kBranchCount; ++i) DrawNode(genome, levels - 1, i, 5 * node + 1 + i, noise);
    }
    glPopMatrix();
}

void ApplyNodeTransform(const TreeGenome& genome, int branch, int node, const NoiseField& noise) {
    const BranchGene& gene = genome.branches[branch];
    const NodeNoise& draw = noise[node];
    const double azimuth = JitterOf(draw.azimuth) * gene.azimuthSpread + gene.azimuth;
    const double inclination = JitterOf(draw.inclination) * gene.inclinationSpread + gene.inclination;
    // The parent is one unit long in its own frame. The scale is the parent's radius at the attachment
    // point over its base radius, so the child starts exactly as thick as the parent is there.
    const double size = (1.0 - gene.position) * (1.0 - genome.taper) + genome.taper;
    glTranslated(0.0, 0.0, gene.position);
    glScaled(size, size, size);
    glRotated(azimuth, 0.0, 0.0, 1.0);
    glRotated(inclination, 1.0, 0.0, 0.0);
}

void DrawSegment(const TreeGenome& genome) {
    // If GLU cannot make a quadric the segment is skipped; the next segment tries again.
    if (sharedQuadric == nullptr) sharedQuadric = gluNewQuadric();
    if (sharedQuadric == nullptr) return;
    gluCylinder(sharedQuadric, genome.radius, genome.radius * genome.taper, 1.0, genome.slices, genome.stacks);
    if (drawingLog != nullptr) ++drawingLog->segments;
}
