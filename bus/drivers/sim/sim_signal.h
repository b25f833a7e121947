#pragma once

#include <cstdint>

namespace lumodm {

// A small seeded generator (splitmix64), so simulated noise repeats from
// run to run.
class SimRandom
{
  public:
    explicit SimRandom(std::uint64_t seed = 1) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [-1, 1].
    double symmetric();

  private:
    std::uint64_t state_;
};

// What a simulated meter sees on its input for one function: a steady
// value (in volt, ampere or ohm) with uniform noise of at most `noise`.
class SignalSource
{
  public:
    SignalSource(double value = 0.0, double noise = 0.0, std::uint64_t seed = 1)
        : value_(value), noise_(noise), random_(seed)
    {
    }

    void set(double value, double noise)
    {
        value_ = value;
        noise_ = noise;
    }
    void reseed(std::uint64_t seed) { random_ = SimRandom(seed); }

    double value() const { return value_; }
    double noise() const { return noise_; }
    double sample();

  private:
    double value_;
    double noise_;
    SimRandom random_;
};

} // namespace lumodm
