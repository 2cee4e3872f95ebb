#include "AxisScale.h"

#include <algorithm>
#include <cmath>

QString AxisScale::label(int index) const
{
    if (index == 0)
        return QStringLiteral("0");
    // Six significant digits hide the binary fractions of 0.1 steps ("0.3", not "0.30000000004").
    return QString::number(step * index, 'g', 6) + QLatin1Char(' ') + unit;
}

AxisScale ChooseAxisScale(double peak, double floor, const std::vector<AxisUnit> &units)
{
    constexpr int kMostSteps = 5;
    constexpr int kFewestSteps = 3;

    AxisScale scale;
    double value = std::isfinite(peak) ? std::max(peak, floor) : floor;
    for (const AxisUnit &unit : units)
        if (value >= unit.size || &unit == &units.front()) {
            scale.unitSize = unit.size;
            scale.unit = QString::fromLatin1(unit.name);
        }
    value /= scale.unitSize;
    for (double power = 0.1;; power *= 10)
        for (double multiple : {1.0, 2.0, 5.0}) {
            const double step = multiple * power;
            // A hair of slack so that a peak exactly on a step does not take one more.
            const int steps = int(std::ceil(value / step - 1e-9));
            if (steps <= kMostSteps) {
                scale.step = step;
                scale.steps = std::max(steps, kFewestSteps);
                return scale;
            }
        }
}
