#pragma once

namespace velmora {

// Uniform draws in [0, 1). The game seeds from the clock; tests seed with fixed values.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    virtual void SeedFromClock() = 0;
    virtual double Next() = 0;
};

} // namespace velmora
