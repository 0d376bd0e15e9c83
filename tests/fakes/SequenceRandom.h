#pragma once

#include "core/RandomSource.h"

#include <random>

namespace velmora::testing {

// Draws from a fixed seed, so a test can replay the same quiz; seeding from the clock is only
// counted.
class SequenceRandom : public RandomSource {
public:
    explicit SequenceRandom(unsigned seed = 1) : m_engine(seed) {}

    void SeedFromClock() override { ++clockSeeds; }
    double Next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine); }

    int clockSeeds = 0;

private:
    std::mt19937 m_engine;
};

} // namespace velmora::testing
