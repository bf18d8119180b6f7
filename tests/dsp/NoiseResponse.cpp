// Measures a chain's gain at single frequencies from noise through ffmpeg.
#include "NoiseResponse.h"

#include "AudioMeasure.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <complex>

// Cross-spectrum estimate H = sum(Y X*) / sum(|X|^2): the noise's own
// ripple cancels, so a few seconds give hundredths of a dB.
namespace {

// Long enough that the window's spectral lobe (about 1.5 Hz) is narrow
// beside the lowest band and the chain's ringing is short beside the window.
const int WindowLength = 65536;
const double Seconds = 8;

QVector<float> ReadFloats(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QVector<float> samples(bytes.size() / int(sizeof(float)));
    memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * sizeof(float));
    return samples;
}

bool Render(const QString &input, const QString &filters, const QString &output)
{
    QStringList arguments{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                          QStringLiteral("-i"), input};
    if (!filters.isEmpty())
        arguments << QStringLiteral("-af") << filters;
    arguments << QStringLiteral("-c:a") << QStringLiteral("pcm_f32le") << QStringLiteral("-f")
              << QStringLiteral("f32le") << output;
    return AudioMeasure::RunTool(QStringLiteral("ffmpeg"), arguments).exitCode == 0;
}

} // namespace

namespace NoiseResponse {

QVector<double> MeasureDb(const QString &filters, int sampleRate, const QVector<double> &frequencies,
                          const QString &folder)
{
    const QDir dir(folder);
    const QString noise = dir.filePath(QStringLiteral("noise.wav"));
    const QString in = dir.filePath(QStringLiteral("in.raw"));
    const QString out = dir.filePath(QStringLiteral("out.raw"));
    if (!AudioMeasure::Generate(QStringLiteral("anoisesrc=color=white:amplitude=0.05:seed=11:r=%1:d=%2")
                                    .arg(sampleRate).arg(Seconds),
                                noise, {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")})
        || !Render(noise, QString(), in) || !Render(noise, filters, out))
        return {};
    const QVector<float> x = ReadFloats(in);
    const QVector<float> y = ReadFloats(out);
    if (x.size() != y.size() || x.size() < WindowLength)
        return {};

    QVector<double> window(WindowLength);
    for (int n = 0; n < WindowLength; ++n)
        window[n] = 0.5 - 0.5 * std::cos(2 * M_PI * n / WindowLength);
    QVector<double> result;
    for (const double frequency : frequencies) {
        const std::complex<double> turn = std::polar(1.0, -2 * M_PI * frequency / sampleRate);
        std::complex<double> cross;
        double power = 0;
        for (int start = 0; start + WindowLength <= x.size(); start += WindowLength / 2) {
            std::complex<double> sumX, sumY, phasor(1.0);
            for (int n = 0; n < WindowLength; ++n) {
                sumX += window[n] * double(x[start + n]) * phasor;
                sumY += window[n] * double(y[start + n]) * phasor;
                phasor *= turn;
            }
            cross += sumY * std::conj(sumX);
            power += std::norm(sumX);
        }
        result.append(20 * std::log10(std::abs(cross) / power));
    }
    return result;
}

} // namespace NoiseResponse
