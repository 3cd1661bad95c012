#include "alert/AlertGeometry.h"

#include <cmath>

namespace alert {

void AlertGeometry::place(int alertIndex, int screenWidthPx, int screenHeightPx, int twipsPerPixelX,
                          int twipsPerPixelY)
{
    Height = 90;
    Width = kPanelWidth + BorderWidth;
    Left = double(twipsPerPixelX) * screenWidthPx - Width;
    Top = double(twipsPerPixelY) * screenHeightPx - double(alertIndex - 1) * fullHeight() + 300;
}

bool AlertGeometry::growStep()
{
    const double h = std::nearbyint(Height);
    const double target = fullHeight();
    if (!(target > h))
        return false;
    double g = h + 30;
    if (target < g)
        g = std::nearbyint(target);
    Height += g - h;
    Top -= g - h;
    return true;
}

bool AlertGeometry::shrinkStep()
{
    const double h = std::nearbyint(Height);
    if (!(h > 120))
        return false;
    Height = h - 30;
    Top += 30;
    return true;
}

} // namespace alert
