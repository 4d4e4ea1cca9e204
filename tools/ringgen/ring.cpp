// The ring's synthesis: each note is a struck bell made of a few decaying partials.
#include "tools/ringgen/ring.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// sin on [-pi, pi] by its series: exact IEEE arithmetic, the same result everywhere.
double Sine(double x) {
  const double x2 = x * x;
  double term = x, sum = x;
  for (int n = 1; n <= 12; ++n) {
    term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

// sin of a phase given in cycles.
double SineOfCycles(double cycles) {
  double f = cycles - std::floor(cycles);  // [0, 1)
  if (f >= 0.5) f -= 1.0;                  // [-0.5, 0.5)
  return Sine(2.0 * kPi * f);
}

// e^x for the small negative x of a per-sample decay.
double SmallExp(double x) {
  double term = 1.0, sum = 1.0;
  for (int n = 1; n <= 8; ++n) {
    term *= x / n;
    sum += term;
  }
  return sum;
}

struct Partial {
  double ratio;      // of the note's frequency
  double amplitude;  // at the strike
  double decay;      // seconds to fall to 1/e
};

// A bell's partials: the upper ones are weaker and die sooner, which makes the strike bright and the tail
// soft.
constexpr Partial kPartials[] = {
    {1.0, 1.0, 0.42}, {2.0, 0.38, 0.30}, {3.0, 0.16, 0.20}, {4.2, 0.07, 0.10}, {5.4, 0.03, 0.06},
};

struct Note {
  double frequency;
  double start;  // seconds
};

// A falling major third, like a house bell: E5 then C5.
constexpr Note kNotes[] = {{659.255, 0.0}, {523.251, 0.42}};

constexpr double kAttack = 0.004;    // seconds: a strike without a click
constexpr double kFadeOut = 0.30;    // seconds before the end: the loop starts again from silence
constexpr double kPeakShare = 0.55;  // of full scale

}  // namespace

std::vector<std::int16_t> RingSamples() {
  std::vector<double> mix(kRingSamples, 0.0);
  for (const Note& note : kNotes) {
    const int first = static_cast<int>(note.start * kRingSampleRate);
    for (const Partial& partial : kPartials) {
      const double step = note.frequency * partial.ratio / kRingSampleRate;
      const double fall = SmallExp(-1.0 / (partial.decay * kRingSampleRate));
      double envelope = partial.amplitude;
      for (int i = first; i < kRingSamples; ++i) {
        const int n = i - first;
        const double t = static_cast<double>(n) / kRingSampleRate;
        const double attack = t < kAttack ? t / kAttack : 1.0;
        mix[i] += envelope * attack * SineOfCycles(step * n);
        envelope *= fall;
      }
    }
  }
  const int fadeStart = kRingSamples - static_cast<int>(kFadeOut * kRingSampleRate);
  for (int i = fadeStart; i < kRingSamples; ++i) {
    // A raised cosine from 1 down to 0 at the last sample.
    const double share = static_cast<double>(i - fadeStart) / (kRingSamples - 1 - fadeStart);
    mix[i] *= 0.5 + 0.5 * SineOfCycles(0.25 + 0.5 * share);
  }
  double peak = 0.0;
  for (double v : mix) peak = std::fmax(peak, std::fabs(v));
  const double gain = peak > 0.0 ? kPeakShare * 32767.0 / peak : 0.0;
  std::vector<std::int16_t> samples(kRingSamples);
  for (int i = 0; i < kRingSamples; ++i)
    samples[i] = static_cast<std::int16_t>(std::floor(mix[i] * gain + 0.5));
  return samples;
}
