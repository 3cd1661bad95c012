#pragma once
#include "draw/DrawSurface.h"

#include <QVector>

namespace draw {

// Paints a two-colour linear gradient at any angle over a whole drawing surface
// by sweeping a one-pixel line, perpendicular to the gradient's direction, across
// the area and drawing each position in the next colour of a ramp.
class CGradient {
public:
    CGradient();

    // Paints the gradient; true when at least one line was drawn. Errors are shown
    // in a warning box and give false.
    bool Draw(DrawSurface &picObj);

    // Fills laRetColors with a ramp of lSteps colours (at least 2) from lColor1 to
    // lColor2 and returns the number of colours.
    qint32 BlendColors(qint32 lColor1, qint32 lColor2, qint32 lSteps,
                       QVector<qint32> &laRetColors) const;

    void setColor1(qint32 lData);
    qint32 Color1() const { return m_color1; }
    void setColor2(qint32 lData);
    qint32 Color2() const { return m_color2; }
    void setAngle(float fData);
    float Angle() const { return m_angle; }

    struct PointF {
        float x;
        float y;
    };
    struct LinePoint {
        qint32 x;
        qint32 y;
    };

    // The sweep's end points (entries 2k and 2k+1 are line k) for an area of
    // w by h pixels at the current angle. Throws std::runtime_error on overflow.
    QVector<LinePoint> SweepPoints(qint32 w, qint32 h) const;

    static void RotatePoint(const PointF &origin, PointF &point, float angle);
    static double SafeDivide(double a, double b);

private:
    qint32 RenderGradient(DrawSurface &surface, qint32 w, qint32 h);
    static qint32 translateColor(qint32 value);

    qint32 m_color1;
    qint32 m_color2;
    float m_angle;
};

} // namespace draw
