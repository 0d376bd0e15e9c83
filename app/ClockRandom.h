#pragma once

#include "core/RandomSource.h"

#include <random>

namespace velmora {

class ClockRandom : public RandomSource {
public:
    void SeedFromClock() override;
    double Next() override;

private:
    std::mt19937 m_engine{std::mt19937::default_seed};
};

} // namespace velmora
