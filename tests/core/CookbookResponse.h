// The cookbook biquads worked out here, apart from Brenvox's own formulas,
// for the tests that check a curve against them.
#pragma once

#include <cmath>

enum Shape { Peak, LowShelf, HighShelf, LowPass, HighPass, Notch };
struct Part { Shape shape; double f0, gain, q; };

// |H| in dB by the power formula, not a complex sum.
inline double CookbookDb(const Part &p, double f, double rate)
{
    const double w0 = 2 * M_PI * p.f0 / rate, c = std::cos(w0), alpha = std::sin(w0) / (2 * p.q);
    const double a = std::pow(10, p.gain / 40), s = 2 * std::sqrt(a) * alpha, g = p.shape == LowShelf ? 1 : -1;
    const double pass = p.shape == LowPass ? 1 - c : 1 + c, sign = p.shape == LowPass ? 1 : -1;
    const bool shelf = p.shape == LowShelf || p.shape == HighShelf, filter = p.shape == LowPass || p.shape == HighPass;
    const double b[3] = {filter ? pass / 2 : shelf ? a * ((a + 1) - g * (a - 1) * c + s) : 1 + alpha * a,
                         filter ? sign * pass : shelf ? g * 2 * a * ((a - 1) - g * (a + 1) * c) : -2 * c,
                         filter ? pass / 2 : shelf ? a * ((a + 1) - g * (a - 1) * c - s) : 1 - alpha * a};
    const double d[3] = {filter ? 1 + alpha : shelf ? (a + 1) + g * (a - 1) * c + s : 1 + alpha / a,
                         filter || !shelf ? -2 * c : -g * 2 * ((a - 1) + g * (a + 1) * c),
                         filter ? 1 - alpha : shelf ? (a + 1) + g * (a - 1) * c - s : 1 - alpha / a};
    const double w = 2 * M_PI * f / rate;
    if (p.shape == Notch) // |1 - 2c/z + 1/z^2|^2 over |(1 + alpha) - 2c/z + (1 - alpha)/z^2|^2
        return 10 * std::log10(std::pow(std::cos(w) - c, 2) / (std::pow(std::cos(w) - c, 2) + std::pow(alpha * std::sin(w), 2)));
    const auto power = [w](const double *k) {
        return k[0] * k[0] + k[1] * k[1] + k[2] * k[2] + 2 * (k[0] * k[1] + k[1] * k[2]) * std::cos(w)
            + 2 * k[0] * k[2] * std::cos(2 * w);
    };
    return 10 * std::log10(power(b) / power(d));
}
