// Frame drawing speed of big meshes: the per-facet way (one normal and one GL_POLYGON per facet,
// as meshes were drawn before) against client-side vertex arrays and vertex buffer objects, in
// the same run, on 1,000,000 small facets and on 200,000 large ones. Each frame is cleared, drawn
// under the viewer's lighting and finished with glFinish in an 800 x 800 picture; the ways take
// turns frame by frame, and the ratios compare median frame times. The pictures of the three
// ways are compared byte for byte.
//
// Runs on a private Xvfb display with Mesa's software renderer (tests/support starts it).
// llvmpipe's threads follow LP_NUM_THREADS; when it is unset they are set to the number of
// processors, as for the program itself.
//
//   pelorin_frame_bench [runs (default 3)] [frames per way and run (default 7)]
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "render/FacetArrays.h"
#include "render/MeshBuffers.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/MeshDrawing.h"

namespace {

using pelorin::MeshBuffers;
using pelorin::Triangle;
namespace testing = pelorin::testing;

constexpr int kPicture = 800;
constexpr double kHalfView = 400.0;  // model units from the centre to the edge: one per pixel
constexpr int kSmallCells = 708;     // 2 * 708^2 = 1,002,528 facets of half a pixel
constexpr int kLargeLayers = 8;      // 8 layers of 2 * 112^2: 200,704 facets of ~20 pixels
constexpr int kLargeCells = 112;
constexpr float kHalfModel = 350.0F;
constexpr float kColour[3] = {0.8F, 0.7F, 0.5F};

struct Shape {
    const char* name;
    std::vector<Triangle> facets;
};

struct Way {
    const char* name;
    std::function<void()> draw;
};

double milliseconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A frame's time on the clock, and the processor time it took: of the whole process (the
// renderer's threads included) and of the drawing thread alone. On a machine shared with other
// work the processor times tell the work done apart from the waiting; the drawing thread's time
// is what limits the frame when the renderer's threads run beside it on idle processors.
struct FrameTime {
    double wall = 0;
    double process = 0;
    double thread = 0;
};

// One frame as the viewer draws it: clear, the mesh, and the wait until GL is done.
FrameTime frame(const std::function<void()>& draw) {
    const FrameTime start{milliseconds(CLOCK_MONOTONIC), milliseconds(CLOCK_PROCESS_CPUTIME_ID),
                          milliseconds(CLOCK_THREAD_CPUTIME_ID)};
    testing::clearFrame();
    draw();
    glFinish();
    return {milliseconds(CLOCK_MONOTONIC) - start.wall,
            milliseconds(CLOCK_PROCESS_CPUTIME_ID) - start.process,
            milliseconds(CLOCK_THREAD_CPUTIME_ID) - start.thread};
}

struct Figures {
    double median = 0;   // wall time
    double fastest = 0;  // wall time
    double process = 0;  // mean processor times
    double thread = 0;
};

Figures summarise(std::vector<FrameTime> times) {
    Figures f;
    for (const FrameTime& t : times) {
        f.process += t.process / static_cast<double>(times.size());
        f.thread += t.thread / static_cast<double>(times.size());
    }
    std::sort(times.begin(), times.end(),
              [](const FrameTime& a, const FrameTime& b) { return a.wall < b.wall; });
    f.fastest = times.front().wall;
    f.median = times[times.size() / 2].wall;
    return f;
}

// `count` frames of each way, taken in turn (one of each, then again), so that other work on
// the machine falls on every way alike.
std::vector<Figures> framesInTurn(const std::vector<Way>& ways, int count) {
    std::vector<std::vector<FrameTime>> times(ways.size());
    for (int i = 0; i < count; ++i) {
        for (std::size_t w = 0; w < ways.size(); ++w) times[w].push_back(frame(ways[w].draw));
    }
    std::vector<Figures> figures;
    figures.reserve(ways.size());
    for (auto& wayTimes : times) figures.push_back(summarise(wayTimes));
    return figures;
}

// Writes the mesh to a binary STL file and loads it as the program does, so the bench draws the
// program's own object.
bool load(const std::vector<Triangle>& facets, pelorin::DrawnObjectBySTL& mesh) {
    const char* base = std::getenv("TMPDIR");
    std::string path = std::string(base != nullptr ? base : "/tmp") + "/pelorin-frame-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) return false;
    std::FILE* file = fdopen(fd, "wb");
    char header[80] = "pelorin frame benchmark";
    const auto count = static_cast<std::uint32_t>(facets.size());
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
              std::fwrite(&count, 4, 1, file) == 1;
    const char attribute[2] = {0, 0};
    for (const Triangle& t : facets) {
        ok = ok && std::fwrite(&t, sizeof t, 1, file) == 1 &&
             std::fwrite(attribute, 2, 1, file) == 1;
    }
    ok = std::fclose(file) == 0 && ok;
    ok = ok && mesh.loadStl(path);
    std::remove(path.c_str());
    return ok && mesh.triangles().size() == facets.size();
}

void benchShape(const Shape& shape, int runs, int perWay) {
    pelorin::DrawnObjectBySTL mesh(kColour[0], kColour[1], kColour[2], shape.name);
    if (!load(shape.facets, mesh)) {
        std::printf("%s: cannot write and load the mesh\n", shape.name);
        return;
    }
    MeshBuffers buffers;
    MeshBuffers client(MeshBuffers::Storage::ClientArrays);
    const std::vector<Way> ways = {
        {"per-facet",
         [&] {
             testing::drawFacetsOneByOne(mesh.triangles().data(), mesh.triangles().size(),
                                         mesh.getColor());
         }},
        {"client arrays", [&] { client.draw(mesh); }},
        {"buffer object", [&] { buffers.draw(mesh); }},
    };
    std::printf("\n%s: %zu facets, %d frames per way and run\n", shape.name,
                mesh.triangles().size(), perWay);
    const double firstBufferFrame = frame(ways[2].draw).wall;
    std::printf("  first buffer-object frame (makes the %.1f MB buffer): %.1f ms\n",
                static_cast<double>(buffers.bufferBytes()) / 1e6, firstBufferFrame);
    std::vector<std::vector<std::uint8_t>> pictures;
    for (const Way& way : ways) {
        frame(way.draw);
        pictures.push_back(testing::readPixels(kPicture, kPicture));
    }
    for (std::size_t w = 1; w < ways.size(); ++w) {
        const auto difference = testing::comparePixels(pictures[0], pictures[w]);
        std::printf("  picture of %s against per-facet: %zu bytes differ (%zu pixels)\n",
                    ways[w].name, difference.bytes, difference.pixels);
    }
    for (int run = 1; run <= runs; ++run) {
        const std::vector<Figures> figures = framesInTurn(ways, perWay);
        std::printf(
            "  run %d, ms per frame: median (fastest); mean processor time of the process, of "
            "the drawing thread\n",
            run);
        for (std::size_t w = 0; w < ways.size(); ++w) {
            std::printf("    %-14s %7.1f (%.1f); %.1f, %.1f\n", ways[w].name, figures[w].median,
                        figures[w].fastest, figures[w].process, figures[w].thread);
        }
        for (std::size_t w = 1; w < ways.size(); ++w) {
            std::printf(
                "    ratio per-facet / %s: %.2f (fastest frames %.2f; processor %.2f, drawing "
                "thread %.2f)\n",
                ways[w].name, figures[0].median / figures[w].median,
                figures[0].fastest / figures[w].fastest, figures[0].process / figures[w].process,
                figures[0].thread / figures[w].thread);
        }
    }
    buffers.release();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int perWay = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const std::string threads = std::to_string(std::max(1U, std::thread::hardware_concurrency()));
    setenv("LP_NUM_THREADS", threads.c_str(), 0);
    testing::GlTestContext gl(kPicture, kPicture);
    if (!gl.ok()) {
        std::fprintf(stderr, "no GL context: %s\n", gl.error().c_str());
        return 1;
    }
    std::printf("renderer: %s, OpenGL %s, LP_NUM_THREADS=%s\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                std::getenv("LP_NUM_THREADS"));
    testing::setUpViewerGlState(kHalfView);
    glRotated(-25.0, 1.0, 0.0, 0.0);  // a slanted view, so the light falls unevenly
    const Shape shapes[] = {
        {"small facets", testing::wavyGrid(kSmallCells, kHalfModel, 40.0F, 60.0F)},
        {"large facets", testing::stackedGrids(kLargeLayers, kLargeCells, kHalfModel, 4.0F)},
    };
    for (const Shape& shape : shapes) benchShape(shape, runs, perWay);
    return 0;
}
