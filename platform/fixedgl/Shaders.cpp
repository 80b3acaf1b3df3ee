// Program generation and the program cache. The fragment program applies
// each enabled unit's texture environment to the colour in turn (GL 1.1's
// texture stages), then fog; what each environment does depends only on
// its mode, the combiner's RGB function and, for GL_REPLACE, whether the
// texture has alpha, so the stages reduce to eight operations. An RGB
// texture's alpha is 1 in GL, which makes modulate and add keep the
// incoming alpha: its stages never read the stored alpha (Textures.cpp
// stores every image as RGBA, and a copy from the frame brings the frame's).
#include <GLES2/gl2.h>

#include "platform/fixedgl/Shaders.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/fixedgl/Batch.h"
#include "platform/fixedgl/State.h"
#include "platform/fixedgl/Textures.h"

namespace fixedgl {

namespace {

// What one texture stage does to the incoming colour c with the texel t.
enum Stage {
    stageOff,            // unit disabled, or its texture incomplete
    stageReplaceColour,  // GL_REPLACE, RGB texture: (t.rgb, c.a)
    stageReplace,        // GL_REPLACE, RGBA texture: t
    stageCombineReplace, // GL_COMBINE_ARB, RGB replace, alpha modulate: (t.rgb, c.a t.a)
    stageModulate,       // GL_MODULATE, or the combiner's modulate: c t
    stageModulateColour, // the same, RGB texture: (c.rgb t.rgb, c.a)
    stageAdd,            // GL_ADD, or the combiner's add: (c.rgb + t.rgb, c.a t.a)
    stageAddColour,      // the same, RGB texture: (c.rgb + t.rgb, c.a)
    stageCount
};

const char* const stageCode[stageCount] = {
    "",                                              // stageOff
    "c = vec4(t.rgb, c.a);",                         // stageReplaceColour
    "c = t;",                                        // stageReplace
    "c = vec4(t.rgb, c.a * t.a);",                   // stageCombineReplace
    "c = c * t;",                                    // stageModulate
    "c.rgb *= t.rgb;",                               // stageModulateColour
    "c = vec4(min(c.rgb + t.rgb, 1.0), c.a * t.a);", // stageAdd
    "c.rgb = min(c.rgb + t.rgb, 1.0);",              // stageAddColour
};

enum FogKind { fogOff, fogLinear, fogExp, fogKindCount };

const char* const fogCode[fogKindCount] = {
    "",
    "c.rgb = mix(u_fogColour, c.rgb, clamp((u_fog.y - v_fog) * u_fog.z, 0.0, 1.0));",
    "c.rgb = mix(u_fogColour, c.rgb, clamp(exp(-u_fog.x * v_fog), 0.0, 1.0));",
};

constexpr int programCount = stageCount * stageCount * fogKindCount;

struct Program {
    GLuint id;           // 0 until built
    bool failed;         // built once and refused: never tried again
    GLint fogColour;     // uniform locations
    GLint fogParameters; // density, end, 1 / (end - start)
    float uploaded[6];   // the fog colour and parameters last set
};

Program programs[programCount];
GLuint vertexShader = 0; // one for every program: the vertices come transformed

const char* const vertexSource = R"(
attribute vec4 a_position;
attribute vec4 a_colour;
attribute vec2 a_texCoord0;
attribute vec2 a_texCoord1;
attribute float a_fog;
varying vec4 v_colour;
varying vec2 v_texCoord0;
varying vec2 v_texCoord1;
varying float v_fog;
void main() {
    gl_Position = a_position;
    gl_PointSize = 1.0;
    v_colour = a_colour;
    v_texCoord0 = a_texCoord0;
    v_texCoord1 = a_texCoord1;
    v_fog = a_fog;
}
)";

const char* const fragmentHeader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 v_colour;
varying vec2 v_texCoord0;
varying vec2 v_texCoord1;
varying float v_fog;
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec3 u_fogColour;
uniform vec3 u_fog;
void main() {
    vec4 c = v_colour;
    vec4 t;
)";

Stage stageOf(const TextureUnit& unit) {
    if (!unit.enabled || !textureComplete(unit.bound)) return stageOff;
    const bool alpha = textureHasAlpha(unit.bound);
    const Stage modulate = alpha ? stageModulate : stageModulateColour;
    const Stage add = alpha ? stageAdd : stageAddColour;
    switch (unit.envMode) {
    case GL_REPLACE: return alpha ? stageReplace : stageReplaceColour;
    case GL_ADD: return add;
    case GL_COMBINE_ARB:
        return unit.combineRgb == GL_REPLACE ? (alpha ? stageCombineReplace : stageReplaceColour)
               : unit.combineRgb == GL_ADD   ? add
                                             : modulate;
    default: return modulate;
    }
}

FogKind fogOf() {
    if (!state.fog) return fogOff;
    return state.fogParams.mode == GL_LINEAR ? fogLinear : fogExp;
}

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = ::glCreateShader(kind);
    ::glShaderSource(shader, 1, &source, nullptr);
    ::glCompileShader(shader);
    GLint ok = GL_FALSE;
    ::glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        ::glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixedgl: a generated shader does not compile: %s\n", log);
    }
    return shader;
}

void build(Program& p, Stage first, Stage second, FogKind fog) {
    // Built once per combination, outside the frames that follow.
    char fragment[2048];
    std::snprintf(fragment, sizeof fragment, "%s%s%s\n%s%s\n%s\n    gl_FragColor = c;\n}\n",
                  fragmentHeader,
                  first != stageOff ? "    t = texture2D(u_texture0, v_texCoord0);\n    " : "",
                  stageCode[first],
                  second != stageOff ? "    t = texture2D(u_texture1, v_texCoord1);\n    " : "",
                  stageCode[second], fogCode[fog]);
    const GLuint id = ::glCreateProgram();
    const GLuint fs = compile(GL_FRAGMENT_SHADER, fragment);
    ::glAttachShader(id, vertexShader);
    ::glAttachShader(id, fs);
    ::glBindAttribLocation(id, positionAttribute, "a_position");
    ::glBindAttribLocation(id, colourAttribute, "a_colour");
    ::glBindAttribLocation(id, texCoord0Attribute, "a_texCoord0");
    ::glBindAttribLocation(id, texCoord1Attribute, "a_texCoord1");
    ::glBindAttribLocation(id, fogAttribute, "a_fog");
    ::glLinkProgram(id);
    ::glDeleteShader(fs); // goes with the program
    GLint ok = GL_FALSE;
    ::glGetProgramiv(id, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        ::glGetProgramInfoLog(id, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixedgl: a generated program does not link: %s\n", log);
        ::glDeleteProgram(id);
        p.failed = true;
        return;
    }
    p.id = id;
    p.fogColour = ::glGetUniformLocation(id, "u_fogColour");
    p.fogParameters = ::glGetUniformLocation(id, "u_fog");
    // Matches no fog state, so the first use uploads.
    for (float& u : p.uploaded) u = std::numeric_limits<float>::quiet_NaN();
    ::glUseProgram(id);
    ::glUniform1i(::glGetUniformLocation(id, "u_texture0"), 0);
    ::glUniform1i(::glGetUniformLocation(id, "u_texture1"), 1);
    counting.programsBuilt++;
}

} // namespace

void startPrograms() {
    // The previous context's programs went with it.
    for (Program& p : programs) p = Program{};
    vertexShader = compile(GL_VERTEX_SHADER, vertexSource);
    useProgram();
}

bool useProgram() {
    const Stage first = stageOf(state.units[0]), second = stageOf(state.units[1]);
    const FogKind fog = fogOf();
    Program& p = programs[(first * stageCount + second) * fogKindCount + fog];
    if (!p.id && !p.failed) build(p, first, second, fog);
    if (!p.id) return false;
    ::glUseProgram(p.id);
    if (fog == fogOff) return true;
    const Fog& f = state.fogParams;
    const float scale = f.end != f.start ? 1 / (f.end - f.start) : 0;
    const float values[6] = {f.colour[0], f.colour[1], f.colour[2], f.density, f.end, scale};
    if (std::memcmp(values, p.uploaded, sizeof values) != 0) {
        ::glUniform3fv(p.fogColour, 1, values);
        ::glUniform3fv(p.fogParameters, 1, values + 3);
        std::memcpy(p.uploaded, values, sizeof values);
    }
    return true;
}

} // namespace fixedgl
