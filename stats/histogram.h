#pragma once

#include <cstddef>
#include <vector>

namespace lumodm {

// Readings counted in bins of equal width: bin i holds the values from
// start + i * width up to the next bin's start, the last bin its upper
// edge too. `normal` is what a normal distribution of the readings' mean
// and deviation would put in each bin: the curve drawn over the bars.
struct Histogram
{
    double start = 0.0;
    double width = 0.0;
    std::vector<std::size_t> counts;
    std::vector<double> normal;
    std::size_t total = 0;   // the values counted
    std::size_t skipped = 0; // values without a finite number, not counted
    double mean = 0.0;
    double deviation = 0.0; // sample standard deviation (n - 1), 0 below two values
};

// The bin width follows Freedman and Diaconis (twice the interquartile
// range over the cube root of the count), which outliers do not widen; the
// quartiles are those of at most 65,536 of the values, spread evenly;
// when the middle half of the values are all equal, Scott's rule from the
// deviation instead. At most `maxBins` bins (at least one): a wider width
// where the rule would give more. All values equal make one bin of width 0.
Histogram histogram(const std::vector<double>& values, std::size_t maxBins = 200);

} // namespace lumodm
