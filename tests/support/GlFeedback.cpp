#include "tests/support/GlFeedback.h"

#include <GL/gl.h>

namespace pelorin::testing {
namespace {

constexpr int kFloatsPerVertex = 7;  // GL_3D_COLOR in RGBA mode: x, y, z, r, g, b, a

struct WindowToEye {
    GLint viewport[4];
    double extent;

    FeedbackVertex vertex(const GLfloat* f) const {
        FeedbackVertex v;
        v.position[0] = ((f[0] - viewport[0]) / viewport[2] * 2.0 - 1.0) * extent;
        v.position[1] = ((f[1] - viewport[1]) / viewport[3] * 2.0 - 1.0) * extent;
        v.position[2] = -(2.0 * f[2] - 1.0) * extent;
        v.color = {f[3], f[4], f[5], f[6]};
        return v;
    }
};

// Vertices that follow a token, by token; -1 for an unknown token.
int verticesOf(GLfloat token) {
    switch (static_cast<GLint>(token)) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            return 1;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            return 2;
        default:
            return -1;
    }
}

FeedbackPrimitive::Kind kindOf(GLfloat token) {
    switch (static_cast<GLint>(token)) {
        case GL_POINT_TOKEN:
            return FeedbackPrimitive::Kind::Point;
        case GL_LINE_TOKEN:
            return FeedbackPrimitive::Kind::Line;
        case GL_LINE_RESET_TOKEN:
            return FeedbackPrimitive::Kind::LineReset;
        case GL_POLYGON_TOKEN:
            return FeedbackPrimitive::Kind::Polygon;
        default:
            return FeedbackPrimitive::Kind::Other;
    }
}

std::string parseRecords(const std::vector<GLfloat>& buffer, GLint used, const WindowToEye& map,
                         std::vector<FeedbackPrimitive>& primitives) {
    GLint i = 0;
    while (i < used) {
        const GLfloat token = buffer[i++];
        if (static_cast<GLint>(token) == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        }
        int count = verticesOf(token);
        if (static_cast<GLint>(token) == GL_POLYGON_TOKEN && i < used) {
            count = static_cast<int>(buffer[i++]);
        }
        if (count < 0 || i + count * kFloatsPerVertex > used) return "unreadable feedback record";
        FeedbackPrimitive primitive{kindOf(token), {}};
        for (int v = 0; v < count; ++v, i += kFloatsPerVertex) {
            primitive.vertices.push_back(map.vertex(&buffer[i]));
        }
        primitives.push_back(std::move(primitive));
    }
    return {};
}

}  // namespace

FeedbackCapture captureFeedback(const std::function<void()>& draw, double extent,
                                std::size_t bufferFloats) {
    FeedbackCapture capture;
    WindowToEye map{};
    map.extent = extent;
    glGetIntegerv(GL_VIEWPORT, map.viewport);
    std::vector<GLfloat> buffer(bufferFloats);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
    glMatrixMode(GL_MODELVIEW);
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (used < 0) {
        capture.error = "feedback buffer overflow";
        return capture;
    }
    capture.error = parseRecords(buffer, used, map, capture.primitives);
    return capture;
}

}  // namespace pelorin::testing
