// Small value types shared by all geometry and scene code: Vector3D (float
// 3-vector), Vector2D (float texture coordinate, x = s, y = t) and Point3D
// (integer grid cell), plus the tiny generator fastrand. Plain public fields;
// the default constructors initialise nothing. Normalize and the divisions do
// not test for zero: the caller guarantees a non-zero length or divisor.
#pragma once

#include <cmath>

class Vector3D {
public:
    float x, y, z;

    Vector3D() = default; // uninitialised: arrays are allocated, then filled
    Vector3D(float x, float y, float z) : x(x), y(y), z(z) {}

    float dotProduct(const Vector3D& v) const { return x * v.x + y * v.y + z * v.z; }

    // this x v, right-handed; the order sets the direction of curve side
    // vectors and mesh normals.
    Vector3D crossProduct(const Vector3D& v) const {
        return Vector3D(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }

    // The square root is taken in double precision, then rounded to float.
    float length() const { return float(std::sqrt(double(dotProduct(*this)))); }

    // A zero vector gives NaN in every component.
    void Normalize() {
        const float len = length();
        *this /= len;
    }

    Vector3D operator+(const Vector3D& v) const { return Vector3D(x + v.x, y + v.y, z + v.z); }
    Vector3D operator-(const Vector3D& v) const { return Vector3D(x - v.x, y - v.y, z - v.z); }
    Vector3D operator*(const float& f) const { return Vector3D(x * f, y * f, z * f); }
    Vector3D operator/(const float& f) const { return Vector3D(x / f, y / f, z / f); }

    // The compound operators return a copy of the updated object, not a
    // reference: a chain only ever changes its left-most object.
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
    float x, y; // s, t in meshes

    Vector2D() = default; // uninitialised
    Vector2D(float x, float y) : x(x), y(y) {}
};

class Point3D {
public:
    int x, y, z; // grid indices

    Point3D(int x, int y, int z) : x(x), y(y), z(z) {}
};

// One seed per source file that includes this header.
static unsigned int seed = 0xCAFEBABEu;

// Linear congruential step modulo 2^32; returns 0..32767 (the top 15 bits).
static inline int fastrand() {
    seed = seed * 0x97654321u + 1u;
    return int(seed >> 17);
}
