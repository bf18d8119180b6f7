#include "core/equalizer/BandTable.h"

#include "dsp/AsDrawn.h"
#include "dsp/BiquadResponse.h"

namespace {

struct BandRow {
    const char *frequencyText;
    const char *caption;
};

const BandRow Rows[BandTable::BandCount] = {
    {"19", "19hz"},       {"20", "20hz "},      {"22.5", "22.5hz"},   {"25", "25hz "},
    {"31.5", "31.5hz"},   {"33", "33hz "},      {"40", "40hz"},       {"45", "45hz "},
    {"50", "50hz"},       {"55", "55hz "},      {"63", "63hz"},       {"75", "75hz "},
    {"80", "80hz"},       {"100", "100hz "},    {"125", "125hz"},     {"135", "135hz "},
    {"160", "160hz"},     {"210", "210hz"},     {"250", "250hz"},     {"280", "280hz"},
    {"313", "313hz"},     {"360", "360hz"},     {"400", "400hz"},     {"425", "425hz"},
    {"450", "450hz"},     {"500", "500hz"},     {"550", "550hz"},     {"630", "630hz"},
    {"800", "800hz"},     {"1000", "1K"},       {"1150", "1.15K"},    {"1250", "1.25K"},
    {"1300", "1.3K"},     {"1400", "1.4K"},     {"1500", "1.5K"},     {"1600", "1.6K"},
    {"1800", "1.8K"},     {"2000", "2K"},       {"2125", "2.12K"},    {"2250", "2.25K"},
    {"2500", "2.5K"},     {"2600", "2.6K"},     {"2800", "2.8K"},     {"2950", "2.95K"},
    {"3150", "3.15K"},    {"3225", "3.225K"},   {"3450", "3.45K"},    {"3650", "3.65K"},
    {"4000", "4K"},       {"4250", "4.25K"},    {"5000", "5K"},       {"5950", "5.95K"},
    {"6300", "6.3K"},     {"7250", "7.25K"},    {"8000", "8K"},       {"9125", "9.125K"},
    {"10000", "10K"},     {"12500", "12.5K"},   {"13450", "13.45K"},  {"15550", "15.55K"},
    {"16000", "16K"},     {"17000", "17K"},     {"18525", "18.525K"}, {"19400", "19.4K"},
    {"20000", "20K"},
};

} // namespace

namespace BandTable {

bool IsBand(int band)
{
    return band >= FirstBand && band <= LastBand;
}

QString FrequencyText(int band)
{
    return IsBand(band) ? QString::fromLatin1(Rows[band].frequencyText) : QString();
}

double FrequencyHz(int band)
{
    return IsBand(band) ? FrequencyText(band).toDouble() : 0.0;
}

bool ActsAtSampleRate(int band, int sampleRate)
{
    return sampleRate <= 0 || FrequencyHz(band) < sampleRate / 2.0;
}

bool BandActs(int band, int sampleRate, double bandwidth)
{
    if (!ActsAtSampleRate(band, sampleRate))
        return false;
    if (sampleRate <= 0)
        return true;
    // The sliders reach 12 dB; the "as drawn" gains go furthest.
    for (const double gainDb : {-AsDrawn::GainLimitDb, AsDrawn::GainLimitDb}) {
        if (!BiquadResponse::IsFinite(
                BiquadResponse::EqualizerElement(FrequencyHz(band), gainDb, bandwidth, sampleRate)))
            return false;
    }
    return true;
}

int LastActingBand(int sampleRate, double bandwidth)
{
    int band = LastBand;
    while (band >= FirstBand && !BandActs(band, sampleRate, bandwidth))
        --band;
    return band;
}

QString Caption(int band)
{
    return IsBand(band) ? QString::fromLatin1(Rows[band].caption) : QString();
}

QString ElementPrefix(int band)
{
    return QLatin1String("equalizer=f=") + FrequencyText(band) + QLatin1String(":width_type=o:width=");
}

QString LowCutElement()
{
    return QStringLiteral("highpass=f=25");
}

} // namespace BandTable
