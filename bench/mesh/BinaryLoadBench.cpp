// Loading a big binary STL against the memory it must fill.
//
// On virtual machines memory touched for the first time is what a big load costs: reading the
// file into a buffer used before is several times faster than reading it into fresh memory. A
// mesh has to fill its own memory once, so the floor is one read(2) pass into fresh memory of
// the mesh's size. Each measurement runs in a fresh process (this program executed again), the
// file in the page cache, and the ways are measured in turn, round after round:
//   pelorin           the program's loader (DrawnObjectBySTL::loadStl, bounds included);
//   pelorin, normals  the same on a copy of the file whose normals are all 0,0,0;
//   bounce buffer     the records read into a reused block and compacted into the mesh,
//                     instead of read straight into the mesh's room and compacted there;
//   read(2)           the baseline: read(2) of the mesh's size into a fresh allocation;
//   read(2), THP      the same into a mapping given madvise(MADV_HUGEPAGE).
// Prints the median and best wall time of each, the median processor time (user and system, less
// at the mercy of other processes on a busy machine), and the ratios to the baseline of the same
// run.
//
//   pelorin_binary_load_bench [facets (default 800000: 40 MB)] [rounds (default 7)]
//                             [work directory (default $TMPDIR or /tmp)]
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "mesh/FacetBounds.h"
#include "mesh/FacetNormal.h"
#include "mesh/StlBinary.h"
#include "mesh/TriangleArray.h"
#include "util/MessageStream.h"

namespace {

using pelorin::Triangle;

constexpr std::size_t kDefaultFacets = 800000;
constexpr int kDefaultRounds = 7;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kBlockFacets = 4096;

struct Way {
    const char* name;
    const char* label;
    bool zeroNormals;  // reads the file with zero normals
};

constexpr Way kWays[] = {
    {"pelorin", "pelorin loader", false},       {"normals", "pelorin, 0,0,0 normals", true},
    {"bounce", "bounce buffer", false},         {"read", "read(2), fresh memory", false},
    {"readhuge", "read(2), fresh, THP", false},
};

void writeBinary(const std::string& path, std::size_t facets, bool zeroNormals) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    char header[80] = "binary load bench";
    std::fwrite(header, 1, sizeof header, f);
    const auto count = static_cast<std::uint32_t>(facets);
    std::fwrite(&count, 4, 1, f);  // the benchmark runs on little-endian machines
    std::mt19937 random(7);
    std::uniform_real_distribution<float> c(-250.0F, 250.0F);
    for (std::size_t i = 0; i < facets; ++i) {
        Triangle t;
        for (auto& v : t.vertex) {
            for (float& x : v) x = c(random);
        }
        if (!zeroNormals) pelorin::computeFacetNormal(t);
        std::fwrite(&t, sizeof t, 1, f);
        const std::uint16_t attribute = 0;
        std::fwrite(&attribute, 2, 1, f);
    }
    std::fclose(f);
}

// read(2) until `bytes` are in or the file ends.
std::size_t readFully(int fd, unsigned char* into, std::size_t bytes) {
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = read(fd, into + got, bytes - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// The baseline: the mesh's size of the file's records, read into fresh memory.
std::size_t readIntoFreshMemory(const std::string& path, std::size_t facets, bool hugePages) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    const std::size_t bytes = facets * sizeof(Triangle);
    std::size_t got = 0;
    if (hugePages) {
        // A mapping aligned to a huge page, so that all of it can be backed by them.
        void* area = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) return 0;
        auto* aligned = reinterpret_cast<unsigned char*>(
            (reinterpret_cast<std::uintptr_t>(area) + kHugePage - 1) / kHugePage * kHugePage);
        madvise(aligned, bytes, MADV_HUGEPAGE);
        lseek(fd, pelorin::kStlBinaryHeaderSize, SEEK_SET);
        got = readFully(fd, aligned, bytes);
    } else {
        auto* buffer = static_cast<unsigned char*>(std::malloc(bytes));
        if (buffer == nullptr) return 0;
        lseek(fd, pelorin::kStlBinaryHeaderSize, SEEK_SET);
        got = readFully(fd, buffer, bytes);
    }
    close(fd);  // the memory is left to the process's end, as the mesh's is
    return got / sizeof(Triangle);
}

// The records read a block at a time into one reused buffer and compacted into the mesh's room.
std::size_t readThroughBounceBuffer(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    unsigned char header[pelorin::kStlBinaryHeaderSize];
    if (readFully(fd, header, sizeof header) != sizeof header) return 0;
    std::size_t left = pelorin::stlBinaryFacetCount(header);
    static pelorin::TriangleArray mesh;  // kept to the process's end
    if (!mesh.reserve(left)) return 0;   // all at once, as the loader does
    std::vector<unsigned char> block(kBlockFacets * pelorin::kStlBinaryFacetSize);
    pelorin::FacetExtent extent;
    while (left > 0) {
        const std::size_t wanted = std::min(left, kBlockFacets);
        if (!mesh.reserve(mesh.size() + wanted)) break;
        const std::size_t got = readFully(fd, block.data(), wanted * pelorin::kStlBinaryFacetSize) /
                                pelorin::kStlBinaryFacetSize;
        Triangle* room = mesh.end();
        for (std::size_t f = 0; f < got; ++f) {
            Triangle& facet = room[f];
            std::memcpy(&facet, &block[f * pelorin::kStlBinaryFacetSize], sizeof facet);
            if (!pelorin::hasUsableNormal(facet)) pelorin::computeFacetNormal(facet);
            extent.add(facet);
        }
        mesh.appendReserved(got);
        if (got < wanted) break;
        left -= got;
    }
    close(fd);
    mesh.shrinkToFit();
    const pelorin::Box3 bounds = extent.box();
    return bounds.empty() ? 0 : mesh.size();
}

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One measurement, in this fresh process: prints the wall and processor seconds and the facets
// read.
int child(const std::string& way, const std::string& path, std::size_t facets) {
    pelorin::StringSink discarded;
    pelorin::Console::redirect(&discarded, &discarded);
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processorSeconds();
    std::size_t read = 0;
    if (way == "pelorin" || way == "normals") {
        static pelorin::DrawnObjectBySTL mesh("bench");  // kept to the process's end
        read = mesh.loadStl(path) ? mesh.triangles().size() : 0;
    } else if (way == "bounce") {
        read = readThroughBounceBuffer(path);
    } else {
        read = readIntoFreshMemory(path, facets, way == "readhuge");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.9f %.9f %zu\n", seconds, processorSeconds() - processorStart, read);
    std::fflush(stdout);
    std::_Exit(0);  // the kept mesh's destructor would only add noise
}

// Runs this program again for one measurement and reads what it prints.
struct Times {
    double wall = 0;
    double processor = 0;
};

bool measureFresh(const Way& way, const std::string& path, std::size_t facets, Times& times) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        const std::string count = std::to_string(facets);
        execl("/proc/self/exe", "pelorin_binary_load_bench", "--child", way.name, path.c_str(),
              count.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char text[128] = {};
    const ssize_t n = read(fds[0], text, sizeof text - 1);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::size_t got = 0;
    return n > 0 && std::sscanf(text, "%lf %lf %zu", &times.wall, &times.processor, &got) == 3 &&
           got == facets && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child") {
        return child(argv[2], argv[3], std::strtoul(argv[4], nullptr, 10));
    }
    const std::size_t facets = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : kDefaultFacets;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRounds;
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = argc > 3 ? argv[3] : (tmp != nullptr ? tmp : "/tmp");
    const std::string stem = dir + "/pelorin-binary-bench-" + std::to_string(getpid());
    const std::string file = stem + ".stl";
    const std::string zeroFile = stem + "-zero.stl";
    writeBinary(file, facets, false);
    writeBinary(zeroFile, facets, true);
    std::printf(
        "binary STL: %zu facets, %.1f MB file, %.1f MB mesh; %d rounds, each load in a "
        "fresh process\n",
        facets, pelorin::stlBinarySize(static_cast<std::uint32_t>(facets)) / 1e6,
        facets * sizeof(Triangle) / 1e6, rounds);

    constexpr std::size_t kWayCount = sizeof kWays / sizeof kWays[0];
    std::vector<std::vector<double>> wall(kWayCount);
    std::vector<std::vector<double>> processor(kWayCount);
    bool ok = true;
    for (int round = 0; round < rounds && ok; ++round) {
        for (std::size_t w = 0; w < kWayCount && ok; ++w) {
            Times times;
            ok = measureFresh(kWays[w], kWays[w].zeroNormals ? zeroFile : file, facets, times);
            wall[w].push_back(times.wall);
            processor[w].push_back(times.processor);
        }
    }
    std::remove(file.c_str());
    std::remove(zeroFile.c_str());
    if (!ok) {
        std::printf("A LOAD FAILED OR READ ANOTHER FACET COUNT\n");
        return 1;
    }
    const std::size_t baseline = 3;  // read(2) into fresh memory
    const double baseWall = median(wall[baseline]);
    const double baseBest = *std::min_element(wall[baseline].begin(), wall[baseline].end());
    const double baseProcessor = median(processor[baseline]);
    for (std::size_t w = 0; w < kWayCount; ++w) {
        const double m = median(wall[w]);
        const double b = *std::min_element(wall[w].begin(), wall[w].end());
        const double p = median(processor[w]);
        std::printf(
            "%-24s wall median %6.1f ms (%.2f), best %6.1f ms (%.2f); processor median "
            "%6.1f ms (%.2f)\n",
            kWays[w].label, m * 1e3, m / baseWall, b * 1e3, b / baseBest, p * 1e3,
            p / baseProcessor);
    }
    std::printf(
        "ratio (pelorin loader / read(2) into fresh memory, wall median): %.2f "
        "(target: at most 1.2); processor median: %.2f\n",
        median(wall[0]) / baseWall, median(processor[0]) / baseProcessor);
    return 0;
}
