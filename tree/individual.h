// One tree of the evolving population: a genome, its own noise field of 3906 records and its latest
// fitness (lower is better). Individuals are made once with their owner and afterwards only overwritten
// in place, by CopyFrom and by breeding from other individuals; they are never copied or assigned.
#pragma once

#include "display/renderable.h"
#include "tree/noise_field.h"
#include "tree/tree_genome.h"

// Every individual is drawn with the root and five levels below it; the depth is not stored.
inline constexpr int kIndividualDepth = 5;

class CIndividual final : public IRenderable {
public:
    // A wide random genome and fresh noise; fitness starts at 0 until the evolver scores it.
    CIndividual();
    ~CIndividual() = default;

    CIndividual(const CIndividual&) = delete;
    CIndividual& operator=(const CIndividual&) = delete;

    void Draw() override;
    bool DescribeDrawing(CDrawingKey& key) const override;

    // Genome, fitness and every noise value; no draws.
    CIndividual& CopyFrom(const CIndividual& other);
    // The parent's genome and noise, each value disturbed by a jitter times strength; fitness is kept.
    // 32 + 11718 draws.
    void MutateFrom(const CIndividual& parent, double strength);
    // Every value from a with probability about weightA / (weightA + weightB), otherwise from b; fitness
    // is kept. 32 + 11718 draws.
    void Crossover(const CIndividual& a, double weightA, const CIndividual& b, double weightB);

    TreeGenome genome;
    NoiseField noise;
    double fitness = 0.0;
};
