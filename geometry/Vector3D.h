// Small value types shared by the geometry and scene code: Vector3D (float
// positions, directions, normals), Vector2D (texture coordinates s = x,
// t = y) and Point3D (integer cells of the metaball grid), plus fastrand.
// Plain values with public fields; no checks: callers guarantee non-zero
// divisors and non-zero vectors for Normalize.
#pragma once

#include <cmath>

class Vector3D {
public:
    float x, y, z;

    Vector3D() {} // left uninitialised: arrays are allocated, then filled
    Vector3D(float x, float y, float z) : x(x), y(y), z(z) {}

    float dotProduct(const Vector3D& v) const { return x * v.x + y * v.y + z * v.z; }

    // this × v, right-handed.
    Vector3D crossProduct(const Vector3D& v) const {
        return Vector3D(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }

    // The square root is taken in double precision, then rounded to float.
    float length() const { return static_cast<float>(std::sqrt(static_cast<double>(dotProduct(*this)))); }

    // Divides by the length without a test: a zero vector gives NaNs.
    void Normalize() {
        const float l = length();
        *this /= l;
    }

    Vector3D operator+(const Vector3D& v) const { return Vector3D(x + v.x, y + v.y, z + v.z); }
    Vector3D operator-(const Vector3D& v) const { return Vector3D(x - v.x, y - v.y, z - v.z); }
    Vector3D operator*(const float& f) const { return Vector3D(x * f, y * f, z * f); }
    Vector3D operator/(const float& f) const { return Vector3D(x / f, y / f, z / f); }

    // The compound operators return a copy of the updated vector, not a
    // reference: chaining them changes only the left-most object.
    Vector3D operator+=(const Vector3D& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    Vector3D operator*=(const float& f) {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    Vector3D operator/=(const float& f) {
        x /= f;
        y /= f;
        z /= f;
        return *this;
    }
};

class Vector2D {
public:
    float x, y; // texture coordinates s and t

    Vector2D() {} // left uninitialised
    Vector2D(float x, float y) : x(x), y(y) {}
};

class Point3D {
public:
    int x, y, z; // grid position in world units

    Point3D(int x, int y, int z) : x(x), y(y), z(z) {}
};

// Tiny linear congruential generator, 0..32767; one seed per source file
// that includes this header. Nothing in the show calls it.
static unsigned int seed = 0xCAFEBABEu;

static inline int fastrand() {
    seed = seed * 0x97654321u + 1u;
    return static_cast<int>(seed >> 17);
}
