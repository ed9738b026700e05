// Importing a robot of 40 links, each with a binary STL mesh of 50,000 facets, with
// pelorin-import's own code (URDF read, meshes read with assimp and streamed into the written
// STL files, setting file written), against a baseline in the same run: the same mesh bytes
// copied file by file with plain reads and writes, the least any import has to do.
//
//   pelorin_import_bench [meshes (default 40)] [facets per mesh (default 50000)] [rounds (3)]
//
// Each round runs in a child process, so that its peak resident memory is its own. Prints the
// best wall time and the peak memory of both, and their ratios; and the peak against the bytes
// of one mesh and of all meshes, which shows that the meshes are not all held at once.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/import/ImportError.h"
#include "tools/import/RobotWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultMeshes = 40;
constexpr int kDefaultFacets = 50000;
constexpr int kDefaultRounds = 3;
constexpr std::size_t kFacetBytes = 50;
constexpr std::size_t kHeaderBytes = 84;

void writeMesh(const fs::path& path, int facets, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> c(-100.0f, 100.0f);
    std::string bytes(kHeaderBytes + kFacetBytes * facets, '\0');
    const std::uint32_t count = static_cast<std::uint32_t>(facets);
    std::memcpy(&bytes[80], &count, 4);
    for (int f = 0; f < facets; ++f) {
        float record[12];
        for (float& x : record) x = c(random);
        std::memcpy(&bytes[kHeaderBytes + kFacetBytes * f], record, sizeof record);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string chainUrdf(int meshes) {
    std::string urdf = "<robot name=\"bench\">\n";
    for (int i = 0; i < meshes; ++i) {
        urdf += "<link name=\"l" + std::to_string(i) + "\"><visual><geometry><mesh filename=\"m" +
                std::to_string(i) +
                ".stl\" scale=\"0.001 0.001 0.001\"/></geometry></visual></link>\n";
        if (i == 0) continue;
        urdf += "<joint name=\"j" + std::to_string(i) + "\" type=\"revolute\"><parent link=\"l" +
                std::to_string(i - 1) + "\"/><child link=\"l" + std::to_string(i) +
                "\"/><origin xyz=\"0 0 0.2\"/><axis xyz=\"0 1 0\"/><limit lower=\"-1\" upper=\"1\" "
                "effort=\"1\" velocity=\"1\"/></joint>\n";
    }
    return urdf + "</robot>\n";
}

// The baseline: every mesh read whole and written out again, one at a time.
void copyMeshes(const fs::path& dir, int meshes, const fs::path& out) {
    fs::create_directories(out);
    for (int i = 0; i < meshes; ++i) {
        const std::string name = "m" + std::to_string(i) + ".stl";
        std::ifstream in(dir / name, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        std::ofstream(out / name, std::ios::binary) << bytes;
    }
}

struct Round {
    double seconds = 0.0;
    double peakMb = 0.0;
    bool ok = false;
};

// Runs `work` in a child process: its wall time and peak resident memory.
template <typename Work>
Round inChild(Work work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Round r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.peakMb = usage.ru_maxrss / 1024.0;  // kilobytes on Linux
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int meshes = argc > 1 ? std::atoi(argv[1]) : kDefaultMeshes;
    const int facets = argc > 2 ? std::atoi(argv[2]) : kDefaultFacets;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : kDefaultRounds;
    char pattern[] = "/tmp/pelorin-import-bench-XXXXXX";
    if (meshes < 1 || facets < 1 || rounds < 1 || mkdtemp(pattern) == nullptr) {
        std::fprintf(stderr, "usage: pelorin_import_bench [meshes] [facets] [rounds]\n");
        return 1;
    }
    const fs::path dir = pattern;
    for (int i = 0; i < meshes; ++i) writeMesh(dir / ("m" + std::to_string(i) + ".stl"), facets, i);
    std::ofstream(dir / "bench.urdf") << chainUrdf(meshes);

    Round import{1e30, 0, true}, copy{1e30, 0, true};
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(dir / "out");
        const Round a = inChild([&] {
            pelorin::ImportOptions options;
            options.urdf = (dir / "bench.urdf").string();
            options.outDir = (dir / "out").string();
            try {
                return pelorin::importRobot(options).meshFiles == static_cast<std::size_t>(meshes);
            } catch (const pelorin::ImportError& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return false;
            }
        });
        fs::remove_all(dir / "copy");
        const Round b = inChild([&] { return copyMeshes(dir, meshes, dir / "copy"), true; });
        import = {std::min(import.seconds, a.seconds), std::max(import.peakMb, a.peakMb),
                  import.ok && a.ok};
        copy = {std::min(copy.seconds, b.seconds), std::max(copy.peakMb, b.peakMb),
                copy.ok && b.ok};
    }
    const double meshMb = (kHeaderBytes + kFacetBytes * facets) / 1048576.0;
    std::printf("robot: %d meshes of %d facets (binary STL %.1f MB each, %.1f MB in all)\n", meshes,
                facets, meshMb, meshMb * meshes);
    std::printf("import: best %.3f s, peak %.1f MB\n", import.seconds, import.peakMb);
    std::printf("copy baseline: best %.3f s, peak %.1f MB\n", copy.seconds, copy.peakMb);
    std::printf("ratio (import time / copy time): %.2f\n", import.seconds / copy.seconds);
    std::printf("ratio (import peak / copy peak): %.2f\n", import.peakMb / copy.peakMb);
    std::printf("import peak over all mesh bytes: %.2f (held whole, it would pass 1)\n",
                import.peakMb / (meshMb * meshes));
    if (!import.ok || !copy.ok) std::printf("A ROUND FAILED\n");
    fs::remove_all(dir);
    return import.ok && copy.ok ? 0 : 1;
}
