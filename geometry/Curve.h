// Cubic Bezier curve of four control points: points in closed form
// (vReturnPoint, clamped at t = 1, extrapolated below 0) or in Bernstein form
// (vReturnBezier, extrapolated on both sides), and a horizontal side vector
// (curveSideVec). The default constructor leaves the curve unset: assign a
// four-point curve before evaluating it.
#pragma once

#include <cmath>

#include "geometry/Vector3D.h"

class Curve {
public:
    Vector3D controlPoints[4]; // P0 start, P1, P2, P3 end
    int degree;                // of the Bernstein form; 3 for a four-point curve

    Curve() = default; // placeholder, uninitialised
    Curve(Vector3D p0, Vector3D p1, Vector3D p2, Vector3D p3) : degree(3) {
        controlPoints[0] = p0;
        controlPoints[1] = p1;
        controlPoints[2] = p2;
        controlPoints[3] = p3;
    }

    // t above 1 gives P3; t below 0 extrapolates the cubic.
    Vector3D vReturnPoint(float t) const {
        if (t > 1.0f) t = 1.0f;
        const float s = 1.0f - t;
        const float w0 = s * s * s;
        const float w1 = 3.0f * t * s * s;
        const float w2 = 3.0f * t * t * s;
        const float w3 = t * t * t;
        const Vector3D* p = controlPoints;
        return Vector3D(w0 * p[0].x + w1 * p[1].x + w2 * p[2].x + w3 * p[3].x,
                        w0 * p[0].y + w1 * p[1].y + w2 * p[2].y + w3 * p[3].y,
                        w0 * p[0].z + w1 * p[1].z + w2 * p[2].z + w3 * p[3].z);
    }

    // Bernstein form of degree `degree` (at most 3) with running powers of t
    // and 1 - t and the binomial coefficient folded in as floats. No clamp.
    // At t = 1 the running power of 1 - t would be divided by zero (0/0), so
    // that point is returned directly: it is the last control point.
    Vector3D vReturnBezier(float t) const {
        const float s = 1.0f - t;
        if (s == 0.0f) return controlPoints[degree];
        Vector3D result(0.0f, 0.0f, 0.0f);
        float tp = 1.0f;
        float sp = powf(s, float(degree));
        for (int i = 0; i <= degree; i++) {
            float blend = tp * sp;
            tp *= t;
            sp /= s;
            int a = degree, b = i, c = degree - i;
            while (a > 0) {
                blend *= float(a--);
                if (b > 1) blend /= float(b--);
                if (c > 1) blend /= float(c--);
            }
            result.x += blend * controlPoints[i].x;
            result.y += blend * controlPoints[i].y;
            result.z += blend * controlPoints[i].z;
        }
        return result;
    }

    // Horizontal vector to the right of the direction of travel at t
    // (forward x up); its length is the horizontal part of the unit tangent,
    // so a vertical tangent gives the zero vector. The second sample is not
    // clamped: near t = 1 it lies on the extrapolated curve. The curve must
    // move between t and t + 0.005.
    Vector3D curveSideVec(float t) const {
        const Vector3D a = vReturnBezier(t);
        const Vector3D b = vReturnBezier(t + 0.005f);
        Vector3D d = b - a;
        d.Normalize();
        return d.crossProduct(Vector3D(0.0f, 1.0f, 0.0f));
    }
};
