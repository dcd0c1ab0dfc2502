// Sizes and offsets of the windows are given in twips (1/1440 inch); at the
// 96 logical dots per inch of a Qt desktop, 15 twips make one pixel.  This is
// the one place that converts them.
#pragma once

namespace pelmora {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace pelmora
