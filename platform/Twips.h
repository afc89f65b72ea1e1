#pragma once

#include <cmath>

// Layouts and settings files keep the suite's twips (1440 to the inch); screens
// take pixels at the widget's logical DPI (15 twips a pixel at 96 dpi).
namespace Twips {

inline int toPixels(double twips, int dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

inline int fromPixels(int pixels, int dpi)
{
    return dpi > 0 ? static_cast<int>(std::lround(pixels * 1440.0 / dpi)) : 0;
}

} // namespace Twips
