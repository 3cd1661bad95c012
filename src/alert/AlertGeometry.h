#pragma once

namespace alert {

// The alert window's outer rectangle in twips and its grow / shrink steps. Kept
// apart from the window so the geometry can be checked tick by tick.
class AlertGeometry {
public:
    // Designed sizes: the panel that fills the client area, and the frame.
    static constexpr int kPanelWidth = 2055;
    static constexpr int kPanelHeight = 1695;
    static constexpr int kFrameTwips = 45;

    double Left = 0;
    double Top = 0;
    double Width = kPanelWidth + 2 * kFrameTwips;
    double Height = kPanelHeight + 2 * kFrameTwips;
    int BorderWidth = 2 * kFrameTwips;
    int BorderHeight = 2 * kFrameTwips;

    // Places a closed alert (only its frame visible) on the right edge of the
    // full-screen client area, 300 twips below its bottom, one alert height
    // higher for each alert already stacked below it.
    void place(int alertIndex, int screenWidthPx, int screenHeightPx, int twipsPerPixelX,
               int twipsPerPixelY);

    // One grow step: up to 30 twips upward with the bottom edge fixed. False
    // when the window was already fully open (nothing changed).
    bool growStep();
    // One shrink step: 30 twips downward with the bottom edge fixed. False when
    // the window is 120 twips tall or less (nothing changed): time to unload.
    bool shrinkStep();

    int fullHeight() const { return kPanelHeight + BorderHeight; }
};

} // namespace alert
