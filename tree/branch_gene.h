// The prototype for the i-th child of every node of a tree: six doubles, angles in degrees and
// fractions in [0, 1]. Randomisation and mutation keep every field inside its range.
#pragma once

// The bounds that mutation keeps each field within; every range starts at 0. They are wider than the
// randomisation ranges, so any bred tree stays within them.
inline constexpr double kPositionBound = 1.0;
inline constexpr double kPresenceBound = 1.0;
inline constexpr double kInclinationBound = 90.0;
inline constexpr double kInclinationSpreadBound = 90.0;
inline constexpr double kAzimuthBound = 360.0;
inline constexpr double kAzimuthSpreadBound = 180.0;

struct BranchGene {
    double azimuth = 0.0;            // 0 ... 360, turn about the parent's axis
    double inclination = 0.0;        // 0 ... 90, tilt away from the parent's axis
    double inclinationSpread = 0.0;  // 0 ... 90, per-node variation of the inclination
    double azimuthSpread = 0.0;      // 0 ... 180, per-node variation of the azimuth
    double presence = 0.0;           // 0 ... 1, a node exists where its presence draw does not exceed this
    double position = 0.0;           // 0 ... 1, attachment along the parent's axis; also sets the size

    // Six draws each, in a fixed order; see the sources.
    void RandomizeWide();
    void RandomizeNarrow();
    void Mutate(double strength);
    // Each field from a with probability about p, otherwise from b; six draws.
    void Crossover(const BranchGene& a, const BranchGene& b, double p);

    bool operator==(const BranchGene&) const = default;
};
