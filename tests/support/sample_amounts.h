// Amounts at and near whole hundredths, for comparing a fast path with the
// rule it stands for.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace kavrolin::testing {

// `edges` and each one's two neighbouring doubles, then per draw (a fixed
// seed): a whole number of hundredths below 10^12 of 1 to 12 digits as its
// nearest double, the same as a product (not the nearest double), and a
// random magnitude from 10^-4 to 10^10. Negative ones too when `negatives`.
inline std::vector<double> SampleAmounts(const std::vector<double>& edges, bool negatives,
                                         uint64_t seed, int draws = 20000) {
  std::vector<double> amounts;
  for (double edge : edges) {
    amounts.push_back(edge);
    amounts.push_back(std::nextafter(edge, -1e300));
    amounts.push_back(std::nextafter(edge, 1e300));
  }
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<int64_t> hundredths(negatives ? -999999999999 : 0, 999999999999);
  std::uniform_int_distribution<int> digits(0, 14);
  std::uniform_real_distribution<double> unit(negatives ? -1 : 0, 1);
  for (int i = 0; i < draws; ++i) {
    const int64_t h = hundredths(random) / static_cast<int64_t>(std::pow(10, digits(random) % 12));
    amounts.push_back(static_cast<double>(h) / 100);
    amounts.push_back(static_cast<double>(h) * 0.01);
    amounts.push_back(unit(random) * std::pow(10, digits(random) - 4));
  }
  return amounts;
}

}  // namespace kavrolin::testing
