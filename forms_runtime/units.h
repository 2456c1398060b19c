// SPDX-License-Identifier: MIT
#pragma once

// The design's units turned into pixels at a given resolution: twips (1440
// to the inch) for geometry, points (72 to the inch) for font sizes. At the
// reference resolution of 96 dots per inch a pixel is 15 twips and 8.25 pt
// is 11 pixels; a back end that lays out in device pixels passes the
// window's own resolution (144 dpi at 150 %).

namespace forms {

inline constexpr int kReferenceDpi = 96;

// Twips to pixels at `dpi`, rounded to the nearest pixel (halves away from zero).
int twipsToPixels(int twips, int dpi = kReferenceDpi);
// A point size as a pixel height at `dpi`, rounded to the nearest pixel.
int pointsToPixels(double points, int dpi = kReferenceDpi);
// The pixel height a font of `points` is drawn with at `dpi`: its height at
// the reference resolution scaled like the geometry and rounded down, so
// that a text never grows faster than the rectangle laid out for it (8.25 pt
// is 11 px at 96 dpi, 13 at 120, 16 at 144 and 22 at 192).
int fontPixels(double points, int dpi = kReferenceDpi);

} // namespace forms
