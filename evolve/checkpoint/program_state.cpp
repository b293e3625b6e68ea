#include "evolve/checkpoint/program_state.h"

#include <algorithm>
#include <cstring>

#include "display/offscreen_image.h"
#include "evolution/program_objects.h"
#include "tree/random_sources.h"

namespace {

SavedTree Saved(const TreeGenome& genome, const NoiseField& noise, double fitness) {
    SavedTree tree;
    tree.genome = genome;
    tree.noise.assign(noise.Data(), noise.Data() + noise.Count());
    tree.fitness = fitness;
    return tree;
}

bool Fits(const SavedTree& tree, const NoiseField& noise) {
    return static_cast<int>(tree.noise.size()) == noise.Count();
}

void Restore(const SavedTree& tree, TreeGenome& genome, NoiseField& noise) {
    genome = tree.genome;
    std::copy(tree.noise.begin(), tree.noise.end(), noise.Data());
}

}  // namespace

void SaveProgram(const CProgramObjects& objects, RunState& state) {
    const CEvolver& evolver = objects.evolver;
    state.randomState = RandomSequenceState();
    state.camera = objects.camera.pose;
    state.targetTree = Saved(objects.targetTree.genome, objects.targetTree.noise, 0.0);
    state.best = Saved(evolver.best.genome, evolver.best.noise, evolver.best.fitness);
    state.population.clear();
    for (int i = 0; i < evolver.populationSize; ++i) {
        const CIndividual& individual = evolver.population[i];
        state.population.push_back(Saved(individual.genome, individual.noise, individual.fitness));
    }
}

QString RestoreProgram(const RunState& state, CProgramObjects& objects) {
    CEvolver& evolver = objects.evolver;
    if (static_cast<int>(state.population.size()) != evolver.populationSize)
        return QStringLiteral("holds a population of %1; this program's has %2")
            .arg(state.population.size())
            .arg(evolver.populationSize);
    bool fits = Fits(state.targetTree, objects.targetTree.noise) && Fits(state.best, evolver.best.noise);
    for (int i = 0; i < evolver.populationSize; ++i)
        fits = fits && Fits(state.population[i], evolver.population[i].noise);
    if (!fits) return QStringLiteral("holds trees whose noise fields are not of this program's size");
    // A press under way, and every press of a run towards a picture of the user's, needs its picture.
    if (!state.options.targetFile.isEmpty() || state.generationsDone >= 0) {
        const std::unique_ptr<COffscreenImage> panel = objects.evolvedView.CreateImage(1.0, false);
        const std::unique_ptr<COffscreenImage> picture = SavedTargetPicture(state);
        if (picture == nullptr || picture->Width() != panel->Width() || picture->Height() != panel->Height())
            return QStringLiteral("holds no target picture of the panel's size");
    }

    SeedRandomSequence(state.randomState);
    objects.camera.pose = state.camera;
    Restore(state.targetTree, objects.targetTree.genome, objects.targetTree.noise);
    Restore(state.best, evolver.best.genome, evolver.best.noise);
    evolver.best.fitness = state.best.fitness;
    for (int i = 0; i < evolver.populationSize; ++i) {
        Restore(state.population[i], evolver.population[i].genome, evolver.population[i].noise);
        evolver.population[i].fitness = state.population[i].fitness;
    }
    // Either panel's render draws the other as well where its picture has changed.
    objects.targetView.Render();
    return {};
}

void SaveTargetPicture(const COffscreenImage& picture, RunState& state) {
    const int rowBytes = picture.Width() * 3;
    state.targetWidth = picture.Width();
    state.targetHeight = picture.Height();
    state.targetPicture.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(state.targetPicture.data() + static_cast<std::size_t>(y) * rowBytes,
                    picture.Bits() + static_cast<std::ptrdiff_t>(y) * picture.Pitch(),
                    static_cast<std::size_t>(rowBytes));
}

std::unique_ptr<COffscreenImage> SavedTargetPicture(const RunState& state) {
    const std::size_t rowBytes = static_cast<std::size_t>(state.targetWidth) * 3;
    if (state.targetWidth <= 0 || state.targetHeight <= 0 ||
        state.targetPicture.size() != rowBytes * static_cast<std::size_t>(state.targetHeight))
        return nullptr;
    auto picture = std::make_unique<COffscreenImage>();
    if (!picture->Create(state.targetWidth, state.targetHeight, 24)) return nullptr;
    for (int y = 0; y < state.targetHeight; ++y)
        std::memcpy(picture->Bits() + static_cast<std::ptrdiff_t>(y) * picture->Pitch(),
                    state.targetPicture.data() + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    return picture;
}
