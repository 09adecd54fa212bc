#pragma once

namespace orvell {

// Positions and sizes in files are twips; 15 twips are one logical pixel.
constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

}  // namespace orvell
