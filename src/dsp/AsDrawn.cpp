// Solves the "as drawn" gains by regularised least squares and refinement.
#include "dsp/AsDrawn.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Gauss-Newton on Tikhonov-regularised least squares: a peaking band's dB
// response is nearly proportional to its gain, so a first solve on the
// responses at 1 dB lands close and two exact refinements finish.
namespace {

using ChannelResponse::Chain;
using ChannelResponse::SquaredMagnitude;

// A band as wide as one and a half times the mean distance to its
// neighbours overlaps them enough that a row of equal sliders plays flat
// between them, and is narrow enough that its neighbours can take back its
// skirts: over lone sliders and settings stepping by up to 6 dB, 1.0 left
// ripple of up to 5 dB between steps, 2.0 missed lone sliders beside close
// neighbours by 4.6 dB instead of 3.8.
constexpr double WidthPerSpacing = 1.5;
// The midpoints between the sliders keep the curve from bulging between
// them, but the sliders are what is promised: at equal weight, steps of 6 dB
// were missed by up to 2.2 dB at the sliders; at 0.4, by 0.3 dB, with the
// curve between them within 3 dB of the step.
constexpr double MidpointWeight = 0.4;

// Row-major dense matrix, small enough (129 x 65) to keep simple.
struct Matrix
{
    int rows = 0, columns = 0;
    std::vector<double> values;

    Matrix(int r, int c) : rows(r), columns(c), values(size_t(r) * size_t(c)) {}
    double &operator()(int r, int c) { return values[size_t(r) * size_t(columns) + size_t(c)]; }
    double operator()(int r, int c) const { return values[size_t(r) * size_t(columns) + size_t(c)]; }
};

struct Problem
{
    std::vector<int> bands;        // the unknowns: bands in the chain
    std::vector<double> phi;       // per row
    std::vector<double> target;    // per row: slider curve minus the low cut
    std::vector<double> weight;    // per row
};

Problem MakeProblem(const Chain &chain)
{
    Problem problem;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        if (chain.inChain[band])
            problem.bands.push_back(band);
    const SquaredMagnitude lowCut = chain.lowCut ? ChannelResponse::LowCut(chain.sampleRate) : SquaredMagnitude();
    const auto addRow = [&](double frequency, double sliderDb, double weight) {
        const double phi = ChannelResponse::Phi(frequency, chain.sampleRate);
        problem.phi.push_back(phi);
        problem.weight.push_back(weight);
        problem.target.push_back(sliderDb - 10 * std::log10(lowCut.Ratio(phi)));
    };
    for (size_t i = 0; i < problem.bands.size(); ++i) {
        const int band = problem.bands[i];
        addRow(chain.bandFrequencies[band], chain.gainsDb[band], 1);
        if (i + 1 < problem.bands.size()) {
            const int next = problem.bands[i + 1];
            // Linear in dB over log frequency: the geometric midpoint gets the mean.
            addRow(std::sqrt(chain.bandFrequencies[band] * chain.bandFrequencies[next]),
                   (chain.gainsDb[band] + chain.gainsDb[next]) / 2, MidpointWeight);
        }
    }
    return problem;
}

// Each band's response in dB at every row for the given gains.
Matrix Responses(const Chain &chain, const Problem &problem, const std::vector<double> &gains)
{
    Matrix responses(int(problem.phi.size()), int(problem.bands.size()));
    for (int k = 0; k < responses.columns; ++k) {
        const SquaredMagnitude band = ChannelResponse::Band(chain, problem.bands[size_t(k)], gains[size_t(k)]);
        for (int row = 0; row < responses.rows; ++row)
            responses(row, k) = 10 * std::log10(band.Ratio(problem.phi[size_t(row)]));
    }
    return responses;
}

// Solves (J^T J + lambda I) x = J^T r - lambda g by Cholesky; false when the
// system is not positive definite.
bool SolveRegularised(const Matrix &jacobian, const std::vector<double> &residual, const std::vector<double> &weight,
                      const std::vector<double> &gains, double lambda, std::vector<double> &step)
{
    // Plain pointers in the inner loops: this runs on every slider move, and
    // a checked build would otherwise spend most of it in the accessors.
    const size_t n = size_t(jacobian.columns);
    Matrix normal(jacobian.columns, jacobian.columns);
    std::vector<double> right(n, 0.0);
    for (int row = 0; row < jacobian.rows; ++row) {
        const double *line = &jacobian.values[size_t(row) * n];
        const double w = weight[size_t(row)] * weight[size_t(row)];
        for (size_t i = 0; i < n; ++i) {
            const double weighted = w * line[i];
            right[i] += weighted * residual[size_t(row)];
            double *normalRow = &normal.values[i * n];
            for (size_t j = 0; j <= i; ++j)
                normalRow[j] += weighted * line[j];
        }
    }
    double *l = normal.values.data(); // becomes the Cholesky factor, lower triangle
    for (size_t i = 0; i < n; ++i) {
        l[i * n + i] += lambda;
        right[i] -= lambda * gains[i];
    }
    for (size_t j = 0; j < n; ++j) {
        const double *rowJ = l + j * n;
        double diagonal = rowJ[j];
        for (size_t k = 0; k < j; ++k)
            diagonal -= rowJ[k] * rowJ[k];
        if (!(diagonal > 0))
            return false;
        l[j * n + j] = std::sqrt(diagonal);
        for (size_t i = j + 1; i < n; ++i) {
            double *rowI = l + i * n;
            double sum = rowI[j];
            for (size_t k = 0; k < j; ++k)
                sum -= rowI[k] * rowJ[k];
            rowI[j] = sum / rowJ[j];
        }
    }
    step = right;
    for (size_t i = 0; i < n; ++i) {
        for (size_t k = 0; k < i; ++k)
            step[i] -= l[i * n + k] * step[k];
        step[i] /= l[i * n + i];
    }
    for (size_t i = n; i-- > 0;) {
        for (size_t k = i + 1; k < n; ++k)
            step[i] -= l[k * n + i] * step[k];
        step[i] /= l[i * n + i];
    }
    return true;
}

double LargestMagnitude(const std::vector<double> &values)
{
    double largest = 0;
    for (const double value : values)
        largest = std::max(largest, std::abs(value));
    return largest;
}

// Two Gauss-Newton steps against the exact response: a forward difference
// is enough for the step, and saves a third of the response evaluations of
// a central one.
std::vector<double> Refine(const Chain &chain, const Problem &problem, std::vector<double> gains, double lambda)
{
    const size_t n = problem.bands.size();
    const double delta = 0.01;
    std::vector<double> step;
    for (int refinement = 0; refinement < 2 && n > 0; ++refinement) {
        std::vector<double> above(gains);
        for (double &gain : above)
            gain += delta;
        const Matrix now = Responses(chain, problem, gains);
        const Matrix high = Responses(chain, problem, above);
        Matrix jacobian(now.rows, now.columns);
        std::vector<double> residual(problem.target);
        for (int row = 0; row < now.rows; ++row)
            for (int k = 0; k < now.columns; ++k) {
                jacobian(row, k) = (high(row, k) - now(row, k)) / delta;
                residual[size_t(row)] -= now(row, k);
            }
        if (!SolveRegularised(jacobian, residual, problem.weight, gains, lambda, step))
            break;
        for (size_t k = 0; k < n; ++k)
            gains[k] = std::clamp(gains[k] + step[k], -AsDrawn::GainLimitDb, AsDrawn::GainLimitDb);
    }
    return gains;
}

// First the linear model: each band's response at 1 dB, scaled by its
// gain; then the refinement. Tells the regularisation it settled on.
std::vector<double> Fit(const Chain &chain, const Problem &problem, double *lambdaUsed)
{
    const size_t n = problem.bands.size();
    std::vector<double> gains(n, 0.0);
    const Matrix unit = Responses(chain, problem, std::vector<double>(n, 1.0));
    double trace = 0;
    for (int row = 0; row < unit.rows; ++row)
        for (int k = 0; k < unit.columns; ++k)
            trace += unit(row, k) * unit(row, k);
    // Neighbouring bands at one octave are nearly the same column, and a
    // weak lambda buys a slightly better linear fit with huge opposite gains
    // that the exact response then misses: on the sample profiles 1e-6 left
    // misses of 2.8 dB, 1e-4 under 0.7 dB. It grows until the gains are
    // within the limit.
    double lambda = 1e-4 * trace / double(n);
    std::vector<double> step;
    for (int attempt = 0; attempt < 16; ++attempt, lambda *= 4) {
        if (!SolveRegularised(unit, problem.target, problem.weight, std::vector<double>(n, 0.0), lambda, step))
            continue;
        gains = step;
        if (LargestMagnitude(gains) <= AsDrawn::GainLimitDb)
            break;
    }
    *lambdaUsed = lambda;
    return Refine(chain, problem, gains, lambda);
}

// The gains to one decimal, as the chain text writes them, with the
// distance of their curve from the sliders; bands not solved for stay at 0.
AsDrawn::Solution Rounded(const Chain &chain, const Problem &problem, const std::vector<double> &gains)
{
    AsDrawn::Solution solution;
    solution.widthsOctaves = chain.widthsOctaves;
    for (size_t k = 0; k < problem.bands.size(); ++k) {
        const double rounded = std::round(gains[k] * 10) / 10;
        solution.gainsDb[size_t(problem.bands[k])] = rounded == 0 ? 0 : rounded;
    }
    Chain solved = chain;
    solved.gainsDb = solution.gainsDb;
    solution.largestDeviationDb = AsDrawn::LargestDeviationDb(solved, chain.gainsDb, &solution.worstBand);
    return solution;
}

} // namespace

namespace AsDrawn {

std::array<double, ChannelResponse::BandCount> BandWidths(const Chain &chain)
{
    std::array<double, ChannelResponse::BandCount> widths = chain.widthsOctaves;
    std::vector<int> bands;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        if (chain.inChain[band])
            bands.push_back(band);
    for (size_t i = 0; i < bands.size(); ++i) {
        const double frequency = chain.bandFrequencies[size_t(bands[i])];
        const double below = i > 0 ? std::log2(frequency / chain.bandFrequencies[size_t(bands[i - 1])]) : 0;
        const double above =
            i + 1 < bands.size() ? std::log2(chain.bandFrequencies[size_t(bands[i + 1])] / frequency) : 0;
        // The band at either end has one neighbour; a lone band, none.
        const double spacing = below > 0 && above > 0 ? (below + above) / 2
            : below > 0 || above > 0                ? std::max(below, above)
                                                    : WidestWidthOctaves;
        const double width = std::clamp(WidthPerSpacing * spacing, NarrowestWidthOctaves, WidestWidthOctaves);
        widths[size_t(bands[i])] = std::round(width * 100) / 100;
    }
    return widths;
}

Solution Solve(const Chain &sliders)
{
    Chain chain = sliders;
    chain.widthsOctaves = BandWidths(sliders);
    const Problem problem = MakeProblem(chain);
    Solution solution;
    solution.widthsOctaves = chain.widthsOctaves;
    if (problem.bands.empty())
        return solution;
    double lambda = 0;
    const std::vector<double> gains = Fit(chain, problem, &lambda);
    solution = Rounded(chain, problem, gains);

    // A band at exactly 0 dB costs the tools nothing (it is left out of
    // their chains), so bands the shape barely needs are left at 0 and the
    // others solved again without them, as long as the curve stays within
    // the tolerance of the solve with every band. Each try starts from the
    // gains above and only refines them.
    const Solution everyBand = solution;
    for (const double smallestDb : {0.3, 0.6, 1.2, 2.4}) {
        Problem fewer = problem;
        fewer.bands.clear();
        std::vector<double> start;
        for (size_t k = 0; k < problem.bands.size(); ++k) {
            if (std::abs(gains[k]) >= smallestDb) {
                fewer.bands.push_back(problem.bands[k]);
                start.push_back(gains[k]);
            }
        }
        const Solution tried = Rounded(chain, fewer, Refine(chain, fewer, start, lambda));
        if (tried.largestDeviationDb > everyBand.largestDeviationDb + IdleBandToleranceDb)
            break;
        solution = tried;
    }
    return solution;
}

double LargestDeviationDb(const Chain &chain, const std::array<double, ChannelResponse::BandCount> &sliderDb,
                          int *worstBand)
{
    return LargestDeviationDb(chain, ChannelResponse::Evaluate(chain), sliderDb, worstBand);
}

double LargestDeviationDb(const Chain &chain, const ChannelResponse::Curve &curve,
                          const std::array<double, ChannelResponse::BandCount> &sliderDb, int *worstBand)
{
    double largest = 0;
    int worst = -1;
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        if (!chain.inChain[band])
            continue;
        const double deviation = std::abs(curve.bandDb[size_t(band)] - sliderDb[size_t(band)]);
        if (deviation > largest || worst < 0) {
            largest = deviation;
            worst = band;
        }
    }
    if (worstBand)
        *worstBand = worst;
    return largest;
}

std::string GainText(double gainDb)
{
    const long tenths = std::lround(gainDb * 10);
    if (tenths % 10 == 0)
        return std::to_string(tenths / 10);
    return ChannelResponse::TenthsText(tenths);
}

} // namespace AsDrawn
