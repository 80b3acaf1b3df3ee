// Material: the property bits that choose how Mesh::render draws a mesh, and
// the GL lighting, colour and texturing state that activate() applies. It
// binds no texture and never restores the state it changed.
#pragma once

// Property bits.
constexpr unsigned MAT_LIT = 1;                 // lighting on; triangles drawn
constexpr unsigned MAT_TEXTURED = 2;            // texturing on; texcoords sent
constexpr unsigned MAT_FLAT = 4;                // face normals instead of vertex normals
constexpr unsigned MAT_SHOW_VERTEX_NORMALS = 8; // red line per vertex normal
constexpr unsigned MAT_SHOW_FACE_NORMALS = 16;  // red line per face normal
constexpr unsigned MAT_TEXCOORD_S_ONLY = 32;    // with MAT_TEXTURED: send (s, s)

class Material {
public:
    float colour[3];     // red, green, blue in 0..1; used when MAT_LIT is clear
    unsigned properties; // MAT_* bits

    // properties = MAT_LIT | MAT_TEXTURED | MAT_SHOW_FACE_NORMALS (19);
    // colour white until set.
    Material();

    // Only Mesh::render calls this, and nothing in the show calls that.
    // MAT_LIT: enable lighting; otherwise disable it and set the current
    // colour to `colour`. MAT_TEXTURED: enable 2D texturing (never disables).
    void activate() const;

    void setPropereties(unsigned bits) { properties = bits; }
    void setProperty(unsigned bits) { properties |= bits; }
    // True when any of the given bits is set.
    bool getProperty(unsigned bits) const { return (properties & bits) != 0; }
};
