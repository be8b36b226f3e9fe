#include "photo/Fourier.h"

#include <fftw3.h>

#include <complex>
#include <memory>
#include <mutex>

namespace loomara::photo {

namespace {

// FFTW's planner is not safe to call from two workers at once; running a plan is.
std::mutex& plannerLock() {
    static std::mutex lock;
    return lock;
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
template <typename T> using FftwBuffer = std::unique_ptr<T[], FftwFree>;

template <typename T> FftwBuffer<T> fftwBuffer(std::size_t n) {
    return FftwBuffer<T>(static_cast<T*>(fftw_malloc(sizeof(T) * n)));
}

struct PlanFree {
    void operator()(fftw_plan p) const {
        const std::lock_guard guard(plannerLock());
        fftw_destroy_plan(p);
    }
};
using Plan = std::unique_ptr<std::remove_pointer_t<fftw_plan>, PlanFree>;

int transformLength(std::size_t atLeast) {
    int n = 1;
    while (static_cast<std::size_t>(n) < atLeast) {
        n *= 2;
    }
    return n;
}

// The spectrum of a padded with zeros to n, multiplied by itself (conjugated for a correlation),
// transformed back: n times the sums.
std::vector<double> productSums(const std::vector<double>& a, int n, bool conjugate) {
    const std::size_t bins = static_cast<std::size_t>(n) / 2 + 1;
    auto real = fftwBuffer<double>(static_cast<std::size_t>(n));
    auto spectrum = fftwBuffer<fftw_complex>(bins);
    Plan forward;
    Plan backward;
    {
        const std::lock_guard guard(plannerLock());
        forward.reset(fftw_plan_dft_r2c_1d(n, real.get(), spectrum.get(), FFTW_ESTIMATE));
        backward.reset(fftw_plan_dft_c2r_1d(n, spectrum.get(), real.get(), FFTW_ESTIMATE));
    }
    std::fill(real.get(), real.get() + n, 0.0);
    std::copy(a.begin(), a.end(), real.get());
    fftw_execute(forward.get());
    for (std::size_t k = 0; k < bins; ++k) {
        const std::complex<double> z(spectrum[k][0], spectrum[k][1]);
        const std::complex<double> product = conjugate ? z * std::conj(z) : z * z;
        spectrum[k][0] = product.real() / n;
        spectrum[k][1] = product.imag() / n;
    }
    fftw_execute(backward.get());
    return std::vector<double>(real.get(), real.get() + n);
}

} // namespace

std::vector<double> correlationSums(const std::vector<double>& a) {
    if (a.empty()) {
        return {};
    }
    std::vector<double> sums = productSums(a, transformLength(2 * a.size()), true);
    sums.resize(a.size());
    return sums;
}

std::vector<double> convolutionSums(const std::vector<double>& a) {
    if (a.empty()) {
        return {};
    }
    std::vector<double> sums = productSums(a, transformLength(2 * a.size()), false);
    sums.resize(2 * a.size() - 1);
    return sums;
}

std::vector<double> powerSpectrum(const std::vector<double>& patch, int n) {
    const std::size_t bins = static_cast<std::size_t>(n) * (static_cast<std::size_t>(n) / 2 + 1);
    auto real = fftwBuffer<double>(static_cast<std::size_t>(n) * n);
    auto spectrum = fftwBuffer<fftw_complex>(bins);
    Plan forward;
    {
        const std::lock_guard guard(plannerLock());
        forward.reset(fftw_plan_dft_r2c_2d(n, n, real.get(), spectrum.get(), FFTW_ESTIMATE));
    }
    std::copy(patch.begin(), patch.end(), real.get());
    fftw_execute(forward.get());
    std::vector<double> power(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        power[k] = spectrum[k][0] * spectrum[k][0] + spectrum[k][1] * spectrum[k][1];
    }
    return power;
}

} // namespace loomara::photo
