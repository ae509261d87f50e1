// Window sizes and positions designed in twips, shown in pixels: 15 twips to the pixel at scale 1.
#pragma once

namespace vyr::gui {

inline constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel.
constexpr int Pixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

}  // namespace vyr::gui
