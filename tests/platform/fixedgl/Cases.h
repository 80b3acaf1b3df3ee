// The comparison cases, written once against OpenGL's names and included in
// one namespace per GL (DesktopCases.cpp, LayerCases.cpp), each after that
// GL's headers. Every case uses only the show's subset of GL, the way the
// show uses it, and starts from GL's initial state on a frameSide-square
// frame. No include guard: each of the two units includes it once.

// ---- Helpers -------------------------------------------------------------

// Window coordinates: one unit a pixel, origin lower left.
inline void pixelCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, frameSide, 0, frameSide, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The scenes' perspective (Engine::perspective) looking down a corridor.
inline void sceneCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.25, 0.5, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 6, 20, 0, 0, -40, 0, 1, 0);
}

// Triangles through the (x, y) pairs given, under the current values.
inline void triangles(std::initializer_list<float> xy) {
    glBegin(GL_TRIANGLES);
    for (const float* p = xy.begin(); p < xy.end(); p += 2) glVertex2f(p[0], p[1]);
    glEnd();
}

// A rectangle at depth z with texture coordinates 0..1 across it.
inline void rect(float x0, float y0, float x1, float y1, float z = 0) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, z);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y0, z);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y1, z);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y1, z);
    glEnd();
}

// A bound texture of `w` x `h` texels: red and green ramps across, a blue
// check of 4-texel squares and, in RGBA, an alpha ramp along the diagonal.
inline GLuint patternTexture(int w, int h, GLenum format, GLint internalFormat,
                             GLint minFilter = GL_LINEAR) {
    const int n = format == GL_RGBA ? 4 : 3;
    std::vector<unsigned char> pixels(std::size_t(w) * h * n);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            unsigned char* p = &pixels[(std::size_t(y) * w + x) * n];
            p[0] = (unsigned char)(x * 255 / (w - 1));
            p[1] = (unsigned char)(y * 255 / (h - 1));
            p[2] = (x / 4 + y / 4) % 2 ? 220 : 40;
            if (n == 4) p[3] = (unsigned char)((x + 2 * y) * 255 / (w + 2 * h));
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (minFilter == GL_LINEAR_MIPMAP_NEAREST) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, w, h, format, GL_UNSIGNED_BYTE, pixels.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, w, h, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

// Grey ground and three coloured bars, for blending over.
inline void background() {
    glClearColor(0.3f, 0.3f, 0.35f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < 3; i++) {
        glColor3f(i == 0 ? 0.9f : 0.1f, i == 1 ? 0.9f : 0.1f, i == 2 ? 0.9f : 0.1f);
        rect(0, 10.0f + 40.0f * float(i), frameSide, 30.0f + 40.0f * float(i));
    }
}

// A quad with a different colour and alpha at each corner, texture
// coordinates 0..1 on unit 0 and 0..2 (turned a quarter) on unit 1.
inline void gradientQuad(float x0, float y0, float x1, float y1) {
    const float corners[4][8] = {
        // x, y, colour, unit 1's s and t
        {x0, y0, 1.0f, 0.2f, 0.2f, 0.9f, 0, 2},
        {x1, y0, 0.2f, 1.0f, 0.2f, 0.5f, 0, 0},
        {x1, y1, 0.2f, 0.2f, 1.0f, 0.2f, 2, 0},
        {x0, y1, 1.0f, 1.0f, 0.3f, 1.0f, 2, 2},
    };
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        const float* c = corners[i];
        glColor4f(c[2], c[3], c[4], c[5]);
        glMultiTexCoord2fARB(GL_TEXTURE0_ARB, float(i == 1 || i == 2), float(i >= 2));
        glMultiTexCoord2fARB(GL_TEXTURE1_ARB, c[6], c[7]);
        glVertex2f(c[0], c[1]);
    }
    glEnd();
}

inline void setEnvironment(GLint mode, GLint combineRgb) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    if (mode == GL_COMBINE_ARB) glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, combineRgb);
}

// A texture environment on `unit`, blended by alpha over the background:
// on unit 0 an RGB texture on the left panel and an RGBA one on the right;
// on unit 1 the other way round, over unit 0 modulating an RGB texture.
inline void environmentPanels(GLenum unit, GLint mode, GLint combineRgb = 0) {
    pixelCamera();
    background();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    if (unit == GL_TEXTURE1_ARB) {
        patternTexture(32, 32, GL_RGB, GL_RGB);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glEnable(GL_TEXTURE_2D);
    }
    const bool first = unit == GL_TEXTURE0_ARB;
    const GLuint left = first ? patternTexture(32, 32, GL_RGB, 3)
                              : patternTexture(16, 16, GL_RGBA, GL_RGBA8);
    const GLuint right = first ? patternTexture(32, 32, GL_RGBA, GL_RGBA)
                               : patternTexture(16, 16, GL_RGB, 3);
    setEnvironment(mode, combineRgb);
    glBindTexture(GL_TEXTURE_2D, left);
    gradientQuad(4, 4, 62, 124);
    glBindTexture(GL_TEXTURE_2D, right);
    gradientQuad(66, 4, 124, 124);
}

// A textured ground from near the camera to far away, and upright panels
// of changing colour along it, for depth and fog.
inline void corridor() {
    glBegin(GL_QUADS);
    for (int i = 0; i < 16; i++) {
        const float z0 = 10.0f - 12.0f * float(i), z1 = z0 - 12.0f, side = i % 2 ? 8.0f : -8.0f;
        const float ground[4][5] = {{-30, 0, z0, 0, 0},
                                    {30, 0, z0, 4, 0},
                                    {30, 0, z1, 4, 1},
                                    {-30, 0, z1, 0, 1}};
        const float panel[4][5] = {{side, 0, z0, 0, 0},
                                   {side, 0, z1, 1, 0},
                                   {side, 10, z1, 1, 1},
                                   {side, 10, z0, 0, 1}};
        glColor3f(1, 1, 1);
        for (const auto& v : ground) {
            glTexCoord2f(v[3], v[4] + float(i));
            glVertex3f(v[0], v[1], v[2]);
        }
        glColor3f(0.2f + 0.05f * float(i), 0.9f - 0.05f * float(i), 0.5f);
        for (const auto& v : panel) {
            glTexCoord2f(v[3], v[4]);
            glVertex3f(v[0], v[1], v[2]);
        }
    }
    glEnd();
}

// The scenes' fog set-up (setFog in SceneCommon.cpp).
inline void sceneFog(GLint mode, float density, float start, float end) {
    const GLfloat colour[4] = {0.8f, 0.9f, 1.0f, 1.0f};
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, density);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogi(GL_FOG_MODE, mode);
}

inline void foggedCorridor(GLint mode, float density) {
    sceneCamera();
    glClearColor(0.8f, 0.9f, 1.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    patternTexture(32, 32, GL_RGB, GL_RGB);
    sceneFog(mode, density, 20, 150);
    corridor();
    // Turned and moved: the fog follows eye-space distance.
    glTranslatef(0, 12, -30);
    glRotatef(35, 0.3f, 1, 0.2f);
    corridor();
}

// The billboard of the scenes (faceViewer): the rotation part of the
// modelview replaced by the identity.
inline void faceViewer() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 3; column++) {
        for (int row = 0; row < 3; row++) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    }
    glLoadMatrixf(m);
}

// ---- Drawing cases -----------------------------------------------------

// Colour and texture coordinates set once hold for every vertex after
// them, across glEnd and glBegin; colours beyond [0, 1] are clamped.
inline void currentValues() {
    pixelCamera();
    glClearColor(0.1f, 0.2f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    glBegin(GL_TRIANGLES);
    glVertex2f(4, 4);
    glVertex2f(60, 4);
    glColor4f(0, 1, 0, 1); // the third vertex on
    glVertex2f(30, 60);
    glVertex2f(70, 10);
    glColor3f(0, 0, 1);
    glVertex2f(124, 10);
    glVertex2f(100, 60);
    glEnd();
    glBegin(GL_TRIANGLES); // blue carries over
    glVertex2f(10, 70);
    glVertex2f(60, 70);
    glColor4f(1.5f, -0.5f, 0.5f, 2.0f); // drawn as (1, 0, 0.5, 1)
    glVertex2f(30, 124);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    patternTexture(8, 8, GL_RGB, GL_RGB);
    glTexCoord2f(0.7f, 0.3f); // one texel's colour for the whole triangle
    glColor3f(1, 1, 1);
    triangles({70, 70, 124, 70, 100, 124});
}

// Quads split into (0, 1, 2) and (0, 2, 3): quadrilaterals with four
// corner colours show the diagonal.
inline void quads() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT);
    const float corners[8][5] = {
        {4, 4, 1, 0, 0},   {124, 4, 0, 1, 0}, {90, 60, 0, 0, 1},   {30, 60, 1, 1, 1},
        {10, 70, 1, 1, 0}, {70, 66, 0, 1, 1}, {120, 124, 1, 0, 1}, {20, 110, 0.2f, 0.2f, 0.2f},
    };
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glColor3f(c[2], c[3], c[4]);
        glVertex2f(c[0], c[1]);
    }
    glEnd();
}

// Points, some on whole pixel coordinates, between triangles (each
// change of primitive kind).
inline void points() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_POINTS);
    for (int i = 0; i < 400; i++) {
        glColor3f(float(i % 7) / 6.0f, float(i % 5) / 4.0f, float(i % 3) / 2.0f);
        glVertex2f(2.3f + float(i % 20) * 6.1f, 1.7f + float(i / 20) * 3.05f);
    }
    glEnd();
    glColor3f(1, 1, 1);
    triangles({0, 70, 60, 70, 30, 120});
    glColor3f(1, 0, 0);
    glBegin(GL_POINTS);
    for (int i = 0; i < 40; i++) glVertex3f(5.5f + float(i) * 3, 100.25f, 0.5f);
    glEnd();
}

// Matrix stack operations: push, pop, translations and rotations about
// the axes and oblique axes, a loaded matrix and the billboard.
inline void matrices() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < 6; i++) {
        glPushMatrix();
        glTranslatef(20.0f + 18.0f * float(i), 30, 0);
        glRotatef(15.0f * float(i) + 5, i % 2 ? 0.0f : 1.0f, 1, 1);
        glRotatef(30, 0, 0, -1);
        glColor3f(1, float(i) / 5, 0);
        triangles({-8, -8, 8, -8, 0, 12});
        glPopMatrix();
    }
    const GLfloat sheared[16] = {1, 0.3f, 0, 0, -0.2f, 0.9f, 0, 0, 0, 0, 1, 0, 64, 80, 0, 1};
    glLoadMatrixf(sheared);
    glColor3f(0, 1, 1);
    rect(-20, -10, 20, 10);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(4, 3, 10, 0, 0, 0, 0, 1, 0);
    glTranslatef(2, 2.5f, 0);
    faceViewer(); // facing the viewer whatever the camera
    glColor3f(1, 0, 1);
    rect(-1, -1, 1, 1);
}

// gluPerspective, gluLookAt and the depth test (less) between panels
// that cross each other.
inline void depthTest() {
    sceneCamera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    corridor();
    glRotatef(30, 0, 1, 0);
    glTranslatef(0, 0, -10);
    corridor();
}

// Face culling on (back faces, counter-clockwise front) and off again.
inline void culling() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    for (float y : {10.0f, 70.0f}) {
        glColor3f(1, y / 70, 0);
        // Counter-clockwise, then clockwise: culled while culling is on.
        triangles({10, y, 60, y, 35, y + 50, 70, y, 95, y + 50, 120, y});
        glDisable(GL_CULL_FACE);
    }
}

// The combiner as Scenes 1 and 7 set it (bindCombined): unit 0 replaces,
// unit 1 adds, on perspective geometry; then both units off again.
inline void sceneCombiner() {
    sceneCamera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    patternTexture(32, 32, GL_RGBA, GL_RGBA8);
    setEnvironment(GL_COMBINE_ARB, GL_REPLACE);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    patternTexture(16, 16, GL_RGB, 3);
    setEnvironment(GL_COMBINE_ARB, GL_ADD);
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 12; i++) {
        const float x = -24.0f + 4.0f * float(i), k = 0.1f * float(i);
        const float corners[3][7] = {{x, 0, 0, 0, 0, k, 0.3f},
                                     {x + 4, 0, -20, 1, 0, 0.9f, k},
                                     {x + 2, 9, -10, 0.5f, 1, 0.5f, 0.9f}};
        for (const auto& c : corners) {
            glMultiTexCoord2fARB(GL_TEXTURE0_ARB, c[3], c[4]);
            glMultiTexCoord2fARB(GL_TEXTURE1_ARB, c[5], c[6]);
            glVertex3f(c[0], c[1], c[2]);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0.5f, 0);
    glBegin(GL_TRIANGLES);
    glVertex3f(-20, 12, -5);
    glVertex3f(20, 12, -5);
    glVertex3f(0, 16, -5);
    glEnd();
}

// The blend functions the show uses, each over the background and across
// an RGBA texture under varying vertex alpha.
inline void blending() {
    pixelCamera();
    background();
    patternTexture(32, 32, GL_RGBA, GL_RGBA8);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    const GLenum functions[4][2] = {
        {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {GL_SRC_ALPHA, GL_ONE},
        {GL_DST_COLOR, GL_ZERO},
        {GL_ONE, GL_ONE},
    };
    for (int i = 0; i < 4; i++) {
        glBlendFunc(functions[i][0], functions[i][1]);
        gradientQuad(2.0f + 31.5f * float(i), 2, 31.0f + 31.5f * float(i), 126);
    }
}

// Depth writes off (the depth-of-field composite): later drawing behind a
// panel drawn without depth writes shows over it, and a clear of the
// depth buffer with writes off leaves it.
inline void depthWrites() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    // x, z (the larger the nearer under this projection), depth writes, grey
    const float panels[4][4] = {{10, 0.5f, 1, 0.9f},
                                {30, -0.2f, 0, 0.6f},
                                {50, 0.1f, 1, 0.3f},
                                {20, 0.3f, 1, 0.7f}};
    for (const auto& p : panels) {
        glDepthMask(p[2] != 0 ? GL_TRUE : GL_FALSE);
        glColor3f(p[3], p[3] * 0.5f, 1 - p[3]);
        rect(p[0], 10, p[0] + 60, 100, p[1]);
    }
    glDepthMask(GL_FALSE);
    glClear(GL_DEPTH_BUFFER_BIT); // kept: writes are off
    glDepthMask(GL_TRUE);
    glColor3f(1, 1, 1);
    rect(0, 40, 128, 128, 0.2f);
}

// The scissor box as ScissorBox uses it: read, set, enabled, and put
// back; clears and drawing stay inside it.
inline void scissor() {
    pixelCamera();
    glClearColor(0, 0, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    GLint saved[4];
    glGetIntegerv(GL_SCISSOR_BOX, saved);
    glScissor(16, 24, 64, 40);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.9f, 0.8f, 0.1f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    triangles({0, 0, 128, 30, 40, 128});
    glDisable(GL_SCISSOR_TEST);
    glScissor(saved[0], saved[1], saved[2], saved[3]);
    glColor3f(0, 1, 0);
    triangles({90, 90, 128, 90, 110, 128});
}

// The glow's steps: the frame copied into a texture, blurred by offset
// copies drawn additively and copied again, and composited over the frame.
inline void frameCopies() {
    pixelCamera();
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    patternTexture(16, 16, GL_RGB, GL_RGB);
    glColor3f(1, 1, 1);
    rect(5, 5, 60, 40);
    const std::vector<unsigned char> zeros(64 * 64 * 3, 0);
    GLuint work = 0;
    glGenTextures(1, &work);
    glBindTexture(GL_TEXTURE_2D, work);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 64, 64);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1, 1, 1, 0.4f);
    for (int pass = 1; pass <= 2; pass++) {
        for (int d = 0; d < 4; d++) {
            glPushMatrix();
            glTranslatef(float((d % 2 ? 1 : -1) * pass * 2), float((d / 2 ? 1 : -1) * pass), 0);
            rect(0, 0, 64, 64);
            glPopMatrix();
        }
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 64, 64);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 0.8f);
    glTranslatef(64, 64, 0);
    glRotatef(20, 0, 0, 1);
    rect(-10, -30, 60, 40);
}

// An RGB texture's alpha is 1 in every environment that reads it, whatever
// alpha its image came with: a copy of a frame whose alpha is 0, and RGBA
// pixels of alpha 0, each drawn under alpha blending in modulate, add and
// the combiner's replace (which modulates alpha). Drawn wrongly, with the
// texel's alpha, the panels vanish.
inline void rgbAlpha() {
    pixelCamera();
    glClearColor(0.2f, 0.5f, 0.8f, 0); // the frame's alpha 0 where it is copied
    glClear(GL_COLOR_BUFFER_BIT);
    GLuint copied = 0;
    glGenTextures(1, &copied);
    glBindTexture(GL_TEXTURE_2D, copied);
    const std::vector<unsigned char> zeros(32 * 32 * 3, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 32, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 32, 32);
    const std::vector<unsigned char> clear(16 * 16 * 4, 0); // RGBA pixels of alpha 0 ...
    std::vector<unsigned char> given = clear;
    for (std::size_t i = 0; i < given.size(); i += 4) given[i] = 230; // ... red
    GLuint dropped = 0;
    glGenTextures(1, &dropped);
    glBindTexture(GL_TEXTURE_2D, dropped);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, given.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    background();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.9f, 0.9f, 0.9f, 0.75f);
    float y = 4;
    for (const GLint mode : {GL_MODULATE, GL_ADD, GL_COMBINE_ARB}) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
        if (mode == GL_COMBINE_ARB) glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, copied);
        rect(4, y, 60, y + 36);
        glBindTexture(GL_TEXTURE_2D, dropped);
        rect(68, y, 124, y + 36);
        y += 40;
    }
}

// gluBuild2DMipmaps from an image of sides that are not powers of two,
// sampled nearest-level on ground receding into the distance and on
// panels at a half, a quarter, an eighth and a sixteenth of its size.
inline void mipmaps() {
    sceneCamera();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    patternTexture(100, 60, GL_RGBA, 3, GL_LINEAR_MIPMAP_NEAREST);
    corridor();
    pixelCamera();
    glDisable(GL_DEPTH_TEST);
    float x = 2;
    for (float size : {64.0f, 32.0f, 16.0f, 8.0f}) {
        rect(x, 2, x + size, 2 + size);
        x += size + 2;
    }
}

// Textures GL cannot sample draw as if texturing were off: one with no
// image (name 0) and one whose filter wants mipmaps it lacks. RGB images
// of RGBA pixels drop their alpha; RGBA images of RGB ones are opaque.
inline void textureFormats() {
    pixelCamera();
    background();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    gradientQuad(2, 2, 62, 62);
    patternTexture(16, 16, GL_RGB, GL_RGB, GL_NEAREST_MIPMAP_LINEAR); // level 0 only
    gradientQuad(66, 2, 126, 62);
    patternTexture(16, 16, GL_RGBA, 3);
    gradientQuad(2, 66, 62, 126);
    patternTexture(16, 16, GL_RGB, GL_RGBA8);
    gradientQuad(66, 66, 126, 126);
}

// The whole state saved on the attribute stacks, changed everywhere, and
// put back: what is drawn after the pops is drawn with the saved state.
inline void attributeStacks() {
    pixelCamera();
    background();
    const GLuint texture = patternTexture(16, 16, GL_RGBA, GL_RGBA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glColor4f(0.5f, 0.8f, 0.2f, 0.6f);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.25f, 0.75f);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);

    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_GREATER);
    glEnable(GL_CULL_FACE);
    sceneFog(GL_LINEAR, 1, 0, 1);
    glViewport(10, 10, 50, 50);
    glScissor(0, 0, 90, 90);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(1, 0, 1, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glMatrixMode(GL_PROJECTION);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glColor4f(1, 0, 0, 1);
    glMultiTexCoord2fARB(GL_TEXTURE0_ARB, 0.9f, 0.1f);
    triangles({0, 0, 128, 0, 64, 128}); // drawn with the changed state

    glPopClientAttrib();
    glPopAttrib();
    glMatrixMode(GL_MODELVIEW); // still the mode: the pop put it back
    glTranslatef(10, 0, 0);
    triangles({0, 0, 100, 20, 40, 120}); // the saved colour and coordinates, the texture replacing
    glClear(GL_DEPTH_BUFFER_BIT);
    // The saved unpack alignment (1) reads these 3 x 3 RGB pixels packed.
    const unsigned char nine[27] = {255, 0,   0, 0,   255, 0,  0,  0,   255, 255, 255, 0,  0, 255,
                                    255, 255, 0, 255, 90,  90, 90, 200, 200, 200, 30,  30, 30};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 3, 3, 0, GL_RGB, GL_UNSIGNED_BYTE, nine);
    rect(70, 70, 110, 110);
}

// Scene 4's particles: thousands of billboard quads, each under its own
// matrix with its colour inside the primitive, more than one batch holds.
inline void particles() {
    sceneCamera();
    glClearColor(0.8f, 0.9f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    patternTexture(16, 16, GL_RGBA, GL_RGBA8);
    for (int i = 0; i < 9000; i++) {
        const float h = 0.3f + 0.1f * float(i % 5);
        glPushMatrix();
        glTranslatef(float(i % 90) * 0.5f - 22, float(i / 90) * 0.3f - 10, -float(i % 7) * 3);
        faceViewer();
        glColor4f(1, 1, 1, float(i % 10) / 10.0f);
        rect(-h, -h, h, h);
        glPopMatrix();
    }
}

const DrawCase drawCases[] = {
    {"CurrentValues", currentValues},
    {"Quads", quads},
    {"Points", points},
    {"Matrices", matrices},
    {"DepthTest", depthTest},
    {"Culling", culling},
    {"ReplaceFirstUnit", [] { environmentPanels(GL_TEXTURE0_ARB, GL_REPLACE); }},
    {"ModulateFirstUnit", [] { environmentPanels(GL_TEXTURE0_ARB, GL_MODULATE); }},
    {"AddFirstUnit", [] { environmentPanels(GL_TEXTURE0_ARB, GL_ADD); }},
    {"CombineReplaceFirstUnit", [] { environmentPanels(GL_TEXTURE0_ARB, GL_COMBINE_ARB, GL_REPLACE); }},
    {"CombineAddFirstUnit", [] { environmentPanels(GL_TEXTURE0_ARB, GL_COMBINE_ARB, GL_ADD); }},
    {"ReplaceSecondUnit", [] { environmentPanels(GL_TEXTURE1_ARB, GL_REPLACE); }},
    {"ModulateSecondUnit", [] { environmentPanels(GL_TEXTURE1_ARB, GL_MODULATE); }},
    {"AddSecondUnit", [] { environmentPanels(GL_TEXTURE1_ARB, GL_ADD); }},
    {"CombineReplaceSecondUnit", [] { environmentPanels(GL_TEXTURE1_ARB, GL_COMBINE_ARB, GL_REPLACE); }},
    {"CombineAddSecondUnit", [] { environmentPanels(GL_TEXTURE1_ARB, GL_COMBINE_ARB, GL_ADD); }},
    {"SceneCombiner", sceneCombiner},
    {"LinearFog", [] { foggedCorridor(GL_LINEAR, 1); }},
    {"ExpFog", [] { foggedCorridor(GL_EXP, 0.015f); }},
    {"Blending", blending},
    {"DepthWrites", depthWrites},
    {"Scissor", scissor},
    {"FrameCopies", frameCopies},
    {"RgbAlpha", rgbAlpha},
    {"Mipmaps", mipmaps},
    {"TextureFormats", textureFormats},
    {"AttributeStacks", attributeStacks},
    {"Particles", particles},
};

// ---- Query cases -------------------------------------------------------

inline void addMatrix(std::vector<float>& values, GLenum which) {
    GLfloat m[16];
    glGetFloatv(which, m);
    values.insert(values.end(), m, m + 16);
}

// The matrices after each operation of the stacks and of GLU.
inline void matrixValues(std::vector<float>& values) {
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 1.25, 0.5, 500.0);
    addMatrix(values, GL_PROJECTION_MATRIX);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1024, 768, 0, -1, 1);
    addMatrix(values, GL_PROJECTION_MATRIX);
    glPopMatrix();
    addMatrix(values, GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(3, 4, 10, 0, 1, -2, 0.2, 1, 0);
    addMatrix(values, GL_MODELVIEW_MATRIX);
    glPushMatrix();
    glRotatef(37, 1, 2, 3);
    glTranslatef(1.5f, -2, 0.25f);
    addMatrix(values, GL_MODELVIEW_MATRIX);
    glRotatef(-90, 0, 0, 1);
    glRotatef(30, 0, 1, 0);
    glRotatef(12, 1, 0, 0);
    addMatrix(values, GL_MODELVIEW_MATRIX);
    glPopMatrix();
    faceViewer();
    addMatrix(values, GL_MODELVIEW_MATRIX);
    gluLookAt(0, 50, 300, 0, 0, 0, 0, 1, 0);
    addMatrix(values, GL_MODELVIEW_MATRIX);
    addMatrix(values, GL_PROJECTION_MATRIX); // untouched by the modelview's operations
}

inline void addEnables(std::vector<float>& values) {
    for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_FOG, GL_LIGHTING}) {
        values.push_back(float(glIsEnabled(cap)));
    }
    for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
        glActiveTextureARB(unit);
        values.push_back(float(glIsEnabled(GL_TEXTURE_2D)));
    }
}

inline void addIntegers(std::vector<float>& values, GLenum name, int count) {
    GLint v[4];
    glGetIntegerv(name, v);
    for (int i = 0; i < count; i++) values.push_back(float(v[i]));
}

// Enables, matrix mode, viewport, scissor box and alignment, as set and
// as put back by the attribute stacks.
inline void stateValues(std::vector<float>& values) {
    addEnables(values);
    addIntegers(values, GL_VIEWPORT, 4);
    addIntegers(values, GL_SCISSOR_BOX, 4);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glViewport(0, 0, 64, 32);
    glScissor(1, 2, 3, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_FOG);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glViewport(5, 6, 7, 8);
    glScissor(0, 0, 9, 9);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    addEnables(values);
    addIntegers(values, GL_MATRIX_MODE, 1);
    addIntegers(values, GL_UNPACK_ALIGNMENT, 1);
    glPopClientAttrib();
    glPopAttrib();
    addEnables(values);
    addIntegers(values, GL_MATRIX_MODE, 1);
    addIntegers(values, GL_VIEWPORT, 4);
    addIntegers(values, GL_SCISSOR_BOX, 4);
    addIntegers(values, GL_UNPACK_ALIGNMENT, 1);
}

const QueryCase queryCases[] = {
    {"Matrices", matrixValues},
    {"State", stateValues},
};
