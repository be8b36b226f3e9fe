#pragma once

#include <vector>

namespace loomara::photo {

// Sums of products over a sequence with itself, by FFTW's transforms.

// For every shift s in [0, n): the sum over i of a[i] * a[i + s].
std::vector<double> correlationSums(const std::vector<double>& a);

// For every j in [0, 2n - 1): the sum over i of a[i] * a[j - i], the products of the pairs that
// lie mirrored about j / 2.
std::vector<double> convolutionSums(const std::vector<double>& a);

// The power spectrum of a square patch of side n (a power of two), row by row: entry
// [ky * (n / 2 + 1) + kx] for frequencies kx in [0, n / 2] and ky in [0, n) (ky above n / 2
// stands for ky - n), in cycles per n pixels.
std::vector<double> powerSpectrum(const std::vector<double>& patch, int n);

} // namespace loomara::photo
