// GL state snapshots. See GlState.h.
#include "tests/support/GlState.h"

#include <sstream>

#include "platform/GL.h"

namespace testsupport {

namespace {

struct Named {
    const char* name;
    GLenum value;
};

const Named enables[] = {
    {"blend", GL_BLEND},
    {"fog", GL_FOG},
    {"depth_test", GL_DEPTH_TEST},
    {"cull_face", GL_CULL_FACE},
    {"lighting", GL_LIGHTING},
    {"light0", GL_LIGHT0},
    {"light1", GL_LIGHT1},
    {"color_material", GL_COLOR_MATERIAL},
    {"alpha_test", GL_ALPHA_TEST},
    {"scissor_test", GL_SCISSOR_TEST},
    {"stencil_test", GL_STENCIL_TEST},
    {"normalize", GL_NORMALIZE},
    {"line_smooth", GL_LINE_SMOOTH},
    {"point_smooth", GL_POINT_SMOOTH},
    {"polygon_offset_fill", GL_POLYGON_OFFSET_FILL},
    {"texture_gen_s", GL_TEXTURE_GEN_S},
    {"texture_gen_t", GL_TEXTURE_GEN_T},
};

// Context values read with glGetFloatv, with the number of components.
struct Value {
    const char* name;
    GLenum value;
    int count;
};

const Value values[] = {
    {"blend_src", GL_BLEND_SRC, 1},
    {"blend_dst", GL_BLEND_DST, 1},
    {"fog_mode", GL_FOG_MODE, 1},
    {"fog_density", GL_FOG_DENSITY, 1},
    {"fog_start", GL_FOG_START, 1},
    {"fog_end", GL_FOG_END, 1},
    {"fog_color", GL_FOG_COLOR, 4},
    {"depth_func", GL_DEPTH_FUNC, 1},
    {"depth_writemask", GL_DEPTH_WRITEMASK, 1},
    {"depth_clear_value", GL_DEPTH_CLEAR_VALUE, 1},
    {"cull_face_mode", GL_CULL_FACE_MODE, 1},
    {"front_face", GL_FRONT_FACE, 1},
    {"shade_model", GL_SHADE_MODEL, 1},
    {"polygon_mode", GL_POLYGON_MODE, 2},
    {"alpha_test_func", GL_ALPHA_TEST_FUNC, 1},
    {"alpha_test_ref", GL_ALPHA_TEST_REF, 1},
    {"color_writemask", GL_COLOR_WRITEMASK, 4},
    {"color_clear_value", GL_COLOR_CLEAR_VALUE, 4},
    {"line_width", GL_LINE_WIDTH, 1},
    {"point_size", GL_POINT_SIZE, 1},
    {"light_model_ambient", GL_LIGHT_MODEL_AMBIENT, 4},
    {"light_model_two_side", GL_LIGHT_MODEL_TWO_SIDE, 1},
    {"light_model_local_viewer", GL_LIGHT_MODEL_LOCAL_VIEWER, 1},
    {"color_material_face", GL_COLOR_MATERIAL_FACE, 1},
    {"color_material_parameter", GL_COLOR_MATERIAL_PARAMETER, 1},
    {"matrix_mode", GL_MATRIX_MODE, 1},
    {"modelview_matrix", GL_MODELVIEW_MATRIX, 16},
    {"projection_matrix", GL_PROJECTION_MATRIX, 16},
    {"viewport", GL_VIEWPORT, 4},
    {"scissor_box", GL_SCISSOR_BOX, 4},
    {"current_color", GL_CURRENT_COLOR, 4},
    {"current_normal", GL_CURRENT_NORMAL, 3},
    {"active_texture", GL_ACTIVE_TEXTURE_ARB, 1},
    {"client_active_texture", GL_CLIENT_ACTIVE_TEXTURE_ARB, 1},
    {"line_smooth_hint", GL_LINE_SMOOTH_HINT, 1},
    {"perspective_correction_hint", GL_PERSPECTIVE_CORRECTION_HINT, 1},
    {"fog_hint", GL_FOG_HINT, 1},
};

// Per texture unit.
const Value unitValues[] = {
    {"texture_binding_1d", GL_TEXTURE_BINDING_1D, 1},
    {"texture_binding_2d", GL_TEXTURE_BINDING_2D, 1},
    {"current_texture_coords", GL_CURRENT_TEXTURE_COORDS, 4},
    {"texture_matrix", GL_TEXTURE_MATRIX, 16},
};

const Value environment[] = {
    {"env_mode", GL_TEXTURE_ENV_MODE, 1},         {"env_color", GL_TEXTURE_ENV_COLOR, 4},
    {"combine_rgb", GL_COMBINE_RGB_ARB, 1},       {"combine_alpha", GL_COMBINE_ALPHA_ARB, 1},
    {"source0_rgb", GL_SOURCE0_RGB_ARB, 1},       {"source1_rgb", GL_SOURCE1_RGB_ARB, 1},
    {"source2_rgb", GL_SOURCE2_RGB_ARB, 1},       {"source0_alpha", GL_SOURCE0_ALPHA_ARB, 1},
    {"source1_alpha", GL_SOURCE1_ALPHA_ARB, 1},   {"source2_alpha", GL_SOURCE2_ALPHA_ARB, 1},
    {"operand0_rgb", GL_OPERAND0_RGB_ARB, 1},     {"operand1_rgb", GL_OPERAND1_RGB_ARB, 1},
    {"operand2_rgb", GL_OPERAND2_RGB_ARB, 1},     {"operand0_alpha", GL_OPERAND0_ALPHA_ARB, 1},
    {"operand1_alpha", GL_OPERAND1_ALPHA_ARB, 1}, {"operand2_alpha", GL_OPERAND2_ALPHA_ARB, 1},
    {"rgb_scale", GL_RGB_SCALE_ARB, 1},           {"alpha_scale", GL_ALPHA_SCALE, 1},
};

const Value light[] = {
    {"ambient", GL_AMBIENT, 4},
    {"diffuse", GL_DIFFUSE, 4},
    {"specular", GL_SPECULAR, 4},
    {"position", GL_POSITION, 4},
    {"constant", GL_CONSTANT_ATTENUATION, 1},
    {"linear", GL_LINEAR_ATTENUATION, 1},
    {"quadratic", GL_QUADRATIC_ATTENUATION, 1},
};

const Value material[] = {
    {"ambient", GL_AMBIENT, 4},   {"diffuse", GL_DIFFUSE, 4},     {"specular", GL_SPECULAR, 4},
    {"emission", GL_EMISSION, 4}, {"shininess", GL_SHININESS, 1},
};

void line(std::ostringstream& out, const std::string& name, const GLfloat* v, int count) {
    out << name;
    for (int i = 0; i < count; i++) out << ' ' << v[i];
    out << '\n';
}

} // namespace

std::string glStateText() {
    std::ostringstream out;
    out.precision(9);
    GLfloat v[16];
    for (const Named& e : enables) out << e.name << ' ' << int(glIsEnabled(e.value)) << '\n';
    for (const Value& e : values) {
        glGetFloatv(e.value, v);
        line(out, e.name, v, e.count);
    }
    GLint active = GL_TEXTURE0_ARB;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    for (int unit = 0; unit < 2; unit++) {
        glActiveTextureARB(GLenum(GL_TEXTURE0_ARB + unit));
        const std::string prefix = "unit" + std::to_string(unit) + '.';
        out << prefix << "texture_1d " << int(glIsEnabled(GL_TEXTURE_1D)) << '\n';
        out << prefix << "texture_2d " << int(glIsEnabled(GL_TEXTURE_2D)) << '\n';
        for (const Value& e : unitValues) {
            glGetFloatv(e.value, v);
            line(out, prefix + e.name, v, e.count);
        }
        for (const Value& e : environment) {
            glGetTexEnvfv(GL_TEXTURE_ENV, e.value, v);
            line(out, prefix + e.name, v, e.count);
        }
    }
    glActiveTextureARB(GLenum(active));
    for (const Value& e : light) {
        glGetLightfv(GL_LIGHT0, e.value, v);
        line(out, std::string("light0.") + e.name, v, e.count);
    }
    for (const Value& e : material) {
        glGetMaterialfv(GL_FRONT, e.value, v);
        line(out, std::string("material.") + e.name, v, e.count);
    }
    return out.str();
}

std::string glStateDifference(const std::string& a, const std::string& b) {
    std::istringstream ia(a), ib(b);
    std::string la, lb, diff;
    for (;;) {
        la.clear();
        lb.clear();
        const bool more = bool(std::getline(ia, la)) | bool(std::getline(ib, lb));
        if (!more) break;
        if (la != lb) diff += "a: " + la + "\nb: " + lb + "\n";
    }
    return diff;
}

} // namespace testsupport
