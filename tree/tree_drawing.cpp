#include "tree/tree_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "tree/cylinder_shape_cache.h"
#include "tree/tree_drawing_seam.h"
#include "tree/tree_traversal.h"

namespace {

// One quadric serves every segment of every tree in both panels for the life of the process. A quadric
// holds only GLU's drawing settings, no GL objects, so it outlives the per-render contexts safely and is
// deliberately never deleted. Only the reference way of drawing cylinders uses it.
GLUquadric* sharedQuadric = nullptr;

// Plain memory, no GL objects: the arrays are handed to the GL at each draw, so they serve every
// context, including the fresh one of each render. Each thread that draws keeps its own, so that
// threads drawing at once never share an entry.
thread_local CCylinderShapeCache cylinderShapes;

// Chosen before any tree is drawn and changed only while none is, so every thread sees one value.
SegmentDrawer segmentDrawer = DrawArraySegment;

// Each node's frame is pushed on the GL's model-view stack and popped after its subtree.
struct GlTreeVisitor {
    const TreeGenome& genome;
    const NoiseField& noise;

    void Enter(int branch, int node) {
        glPushMatrix();
        ApplyNodeTransform(genome, branch, node, noise);
    }
    void Segment(int node) { segmentDrawer(genome, node); }
    void Leave() { glPopMatrix(); }
};

}  // namespace

// If GLU cannot make a quadric the segment is skipped; the next segment tries again.
void DrawQuadricSegment(const TreeGenome& genome, int /*node*/) {
    if (sharedQuadric == nullptr) sharedQuadric = gluNewQuadric();
    if (sharedQuadric == nullptr) return;
    gluCylinder(sharedQuadric, genome.radius, genome.radius * genome.taper, 1.0, genome.slices, genome.stacks);
}

// The quadric's own vertices and normals, computed once per shape and drawn from client arrays: the GL
// receives the same values in the same strips and draws the same pixels, without the per-vertex calls.
// The pointers are plain memory because the program binds no buffer objects.
void DrawArraySegment(const TreeGenome& genome, int /*node*/) {
    const CylinderShape& shape =
        cylinderShapes.ShapeFor(genome.radius, genome.radius * genome.taper, genome.slices, genome.stacks);
    if (shape.Empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, shape.positions.data());
    glNormalPointer(GL_FLOAT, 0, shape.normals.data());
    const int strip = shape.StripVertexCount();
    for (int stack = 0; stack < shape.stacks; ++stack) glDrawArrays(GL_QUAD_STRIP, stack * strip, strip);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    // The current normal is undefined after an array draw; the quadric leaves its last normal current.
    glNormal3fv(shape.normals.data() + shape.normals.size() - 3);
}

void UseSegmentDrawer(SegmentDrawer drawer) { segmentDrawer = drawer; }

void UseQuadricCylinders(bool useQuadric) { UseSegmentDrawer(useQuadric ? DrawQuadricSegment : DrawArraySegment); }

void DrawTree(const TreeGenome& genome, int depth, const NoiseField& noise) {
    glColor3dv(kTreeColour);
    // Node frames are scaled, so normals must be renormalised for the lighting to stay right.
    glEnable(GL_NORMALIZE);
    glPushMatrix();
    glScaled(genome.scale, genome.scale, genome.scale);
    GlTreeVisitor visitor{genome, noise};
    VisitTree(genome, depth, noise, visitor);
    glPopMatrix();
}

void DrawNode(const TreeGenome& genome, int levels, int branch, int node, const NoiseField& noise) {
    GlTreeVisitor visitor{genome, noise};
    VisitNode(genome, levels, branch, node, noise, visitor);
}

void ApplyNodeTransform(const TreeGenome& genome, int branch, int node, const NoiseField& noise) {
    const NodeTransform transform = NodeTransformOf(genome, branch, node, noise);
    glTranslated(0.0, 0.0, transform.position);
    glScaled(transform.size, transform.size, transform.size);
    glRotated(transform.azimuth, 0.0, 0.0, 1.0);
    glRotated(transform.inclination, 1.0, 0.0, 0.0);
}

void DrawSegment(const TreeGenome& genome) { segmentDrawer(genome, kNoNode); }
