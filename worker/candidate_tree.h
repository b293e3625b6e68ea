// A candidate as a worker receives it: a genome and a noise field drawn exactly as the individual they
// were copied from draws itself, made without a single random draw.
#pragma once

#include "display/renderable.h"
#include "tree/individual.h"
#include "tree/tree_drawing.h"

class CCandidateTree final : public IRenderable {
public:
    void Draw() override { DrawTree(genome, kIndividualDepth, noise); }

    TreeGenome genome{UnsetGenome{}};
    NoiseField noise{NodeCount(kIndividualDepth)};
};
