// The scale of a chart's value axis: a few round steps (1, 2 or 5 times a power of ten) in the
// largest unit the peak reaches, labelled as a person reads them ("250 kbit/s", "1.5 GB").
#pragma once

#include <QString>

#include <vector>

struct AxisUnit {
    double size;       // in the values' own unit
    const char *name;  // "kbit/s", "MB"
};

struct AxisScale {
    double step = 1;  // in the unit
    int steps = 4;
    double unitSize = 1;
    QString unit;

    // The value at the top of the axis, in the values' own unit.
    double top() const { return step * steps * unitSize; }
    // The label of the line `index` steps above 0: "0", "250 kbit/s", "1.5 GB".
    QString label(int index) const;
};

// The smallest scale of three to five steps whose top holds the peak, in the largest of the
// units (smallest first) that the peak, raised to the floor, reaches. A peak that is no number
// is taken as the floor.
AxisScale ChooseAxisScale(double peak, double floor, const std::vector<AxisUnit> &units);
