// Reads the source's length from the "Duration:" field that ffprobe and
// ffmpeg print for their input.
#pragma once

#include <QString>

namespace DurationField {

bool Contains(const QString &text);

// Whole seconds of the eight characters after the first "Duration: ", as
// decimal text ("00:03:25.47" gives "205"; the fraction is dropped). Empty
// text when they are not a time of day: "N/A", 24 hours or more, or text
// without the field.
QString SecondsText(const QString &text);

} // namespace DurationField
