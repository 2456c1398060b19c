// SPDX-License-Identifier: MIT
#include "units.h"

#include <cmath>

namespace forms {

int twipsToPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

int pointsToPixels(double points, int dpi)
{
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

int fontPixels(double points, int dpi)
{
    return pointsToPixels(points) * dpi / kReferenceDpi;
}

} // namespace forms
