#include "tests/support/MeshDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace pelorin::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;
const GLfloat kLightPosition[4] = {5000.0F, 5000.0F, 5000.0F, 1.0F};

struct P3 {
    float x, y, z;
};

P3 minus(const P3& a, const P3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// A facet a, b, c (counter-clockwise seen from its front) with its unit normal.
Triangle facet(const P3& a, const P3& b, const P3& c) {
    const P3 u = minus(b, a);
    const P3 v = minus(c, a);
    P3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.0F) n = {n.x / length, n.y / length, n.z / length};
    Triangle t;
    const P3 corners[3] = {a, b, c};
    t.normal[0] = n.x;
    t.normal[1] = n.y;
    t.normal[2] = n.z;
    for (int k = 0; k < 3; ++k) {
        t.vertex[k][0] = corners[k].x;
        t.vertex[k][1] = corners[k].y;
        t.vertex[k][2] = corners[k].z;
    }
    return t;
}

// Two facets for the quad a, b, c, d (counter-clockwise); degenerate halves are left out.
void addQuad(std::vector<Triangle>& mesh, const P3& a, const P3& b, const P3& c, const P3& d) {
    const Triangle first = facet(a, b, c);
    const Triangle second = facet(a, c, d);
    for (const Triangle& t : {first, second}) {
        if (t.normal[0] != 0.0F || t.normal[1] != 0.0F || t.normal[2] != 0.0F) mesh.push_back(t);
    }
}

}  // namespace

std::vector<Triangle> sphereMesh(int rings, int segments, float radius) {
    const auto point = [&](int ring, int segment) {
        const double theta = kPi * ring / rings;
        const double phi = 2.0 * kPi * segment / segments;
        return P3{static_cast<float>(radius * std::sin(theta) * std::cos(phi)),
                  static_cast<float>(radius * std::sin(theta) * std::sin(phi)),
                  static_cast<float>(radius * std::cos(theta))};
    };
    std::vector<Triangle> mesh;
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            addQuad(mesh, point(ring, segment), point(ring + 1, segment),
                    point(ring + 1, segment + 1), point(ring, segment + 1));
        }
    }
    return mesh;
}

std::vector<Triangle> wavyGrid(int cells, float half, float amplitude, float wave) {
    const auto point = [&](int i, int j) {
        const float x = -half + 2.0F * half * static_cast<float>(i) / static_cast<float>(cells);
        const float y = -half + 2.0F * half * static_cast<float>(j) / static_cast<float>(cells);
        return P3{x, y, amplitude * std::sin(x / wave) * std::cos(y / wave)};
    };
    std::vector<Triangle> mesh;
    mesh.reserve(static_cast<std::size_t>(cells) * cells * 2);
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            addQuad(mesh, point(i, j), point(i + 1, j), point(i + 1, j + 1), point(i, j + 1));
        }
    }
    return mesh;
}

std::vector<Triangle> stackedGrids(int layers, int cells, float half, float gap) {
    std::vector<Triangle> mesh;
    mesh.reserve(static_cast<std::size_t>(layers) * cells * cells * 2);
    for (int layer = 0; layer < layers; ++layer) {
        const float z = gap * static_cast<float>(layer);
        const auto step = [&](int i) {
            return -half + 2.0F * half * static_cast<float>(i) / static_cast<float>(cells);
        };
        const auto point = [&](int i, int j) { return P3{step(i), step(j), z}; };
        for (int i = 0; i < cells; ++i) {
            for (int j = 0; j < cells; ++j) {
                addQuad(mesh, point(i, j), point(i + 1, j), point(i + 1, j + 1), point(i, j + 1));
            }
        }
    }
    return mesh;
}

std::vector<Triangle> boxMesh(const Vec3& low, const Vec3& high) {
    const auto corner = [&](int x, int y, int z) {
        return P3{static_cast<float>(x ? high.x : low.x), static_cast<float>(y ? high.y : low.y),
                  static_cast<float>(z ? high.z : low.z)};
    };
    std::vector<Triangle> mesh;
    addQuad(mesh, corner(0, 0, 0), corner(0, 1, 0), corner(1, 1, 0), corner(1, 0, 0));
    addQuad(mesh, corner(0, 0, 1), corner(1, 0, 1), corner(1, 1, 1), corner(0, 1, 1));
    addQuad(mesh, corner(0, 0, 0), corner(1, 0, 0), corner(1, 0, 1), corner(0, 0, 1));
    addQuad(mesh, corner(0, 1, 0), corner(0, 1, 1), corner(1, 1, 1), corner(1, 1, 0));
    addQuad(mesh, corner(0, 0, 0), corner(0, 0, 1), corner(0, 1, 1), corner(0, 1, 0));
    addQuad(mesh, corner(1, 0, 0), corner(1, 1, 0), corner(1, 1, 1), corner(1, 0, 1));
    return mesh;
}

std::vector<Triangle> randomMesh(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-500.0F, 500.0F);
    std::vector<Triangle> mesh(count);
    for (Triangle& t : mesh) {
        for (float& n : t.normal) n = coordinate(random) / 500.0F;
        for (auto& v : t.vertex) {
            for (float& c : v) c = coordinate(random);
        }
    }
    return mesh;
}

namespace {

// %.17g of a double reads back as exactly that double.
std::string triple(const float* v) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g", double{v[0]}, double{v[1]},
                  double{v[2]});
    return buffer;
}

void appendLe(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::string toAsciiStl(const std::vector<Triangle>& mesh, const std::string& name,
                       const AsciiStyle& style) {
    const std::string& e = style.lineEnd;
    const std::string i1 = style.indent;
    const std::string i2 = i1 + i1;
    const std::string i3 = i2 + i1;
    std::string text = "solid " + name + e;
    for (const Triangle& t : mesh) {
        text += i1 + "facet normal " + triple(t.normal) + e + i2 + "outer loop" + e;
        for (const auto& v : t.vertex) text += i3 + "vertex " + triple(v) + e;
        text += i2 + "endloop" + e + i1 + "endfacet" + e;
    }
    return text + "endsolid " + name + e;
}

std::string toBinaryStl(const std::vector<Triangle>& mesh, const std::string& header) {
    std::string bytes = header.substr(0, 80);
    bytes.resize(80, ' ');
    appendLe(bytes, static_cast<std::uint32_t>(mesh.size()));
    for (const Triangle& t : mesh) {
        std::uint32_t bits[12];  // the normal and the three vertices
        std::memcpy(bits, &t, sizeof bits);
        for (std::uint32_t b : bits) appendLe(bytes, b);
        bytes.append(2, '\0');
    }
    return bytes;
}

void setUpViewerGlState(double half) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -4.0 * half, 4.0 * half);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
}

void clearFrame() {
    glClearColor(0.0F, 0.0F, 0.0F, 1.0F);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawFacetsOneByOne(const Triangle* facets, std::size_t count, const float* rgb) {
    const float rgba[4] = {rgb[0], rgb[1], rgb[2], 1.0F};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, rgba);
    for (const Triangle* t = facets; t != facets + count; ++t) {
        glNormal3fv(t->normal);
        glBegin(GL_POLYGON);
        glVertex3fv(t->vertex[0]);
        glVertex3fv(t->vertex[1]);
        glVertex3fv(t->vertex[2]);
        glEnd();
    }
}

std::vector<std::uint8_t> readPixels(int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

PixelDifference comparePixels(const std::vector<std::uint8_t>& a,
                              const std::vector<std::uint8_t>& b) {
    PixelDifference difference;
    const std::size_t size = std::min(a.size(), b.size());
    for (std::size_t pixel = 0; pixel + 4 <= size; pixel += 4) {
        bool differs = false;
        for (std::size_t k = pixel; k < pixel + 4; ++k) {
            const int d = std::abs(int{a[k]} - int{b[k]});
            if (d == 0) continue;
            differs = true;
            ++difference.bytes;
            difference.largest = std::max(difference.largest, d);
        }
        if (differs) ++difference.pixels;
    }
    if (a.size() != b.size()) difference.bytes += std::max(a.size(), b.size()) - size;
    return difference;
}

}  // namespace pelorin::testing
