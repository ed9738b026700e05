// STL loading speed and memory, each reader beside its baseline on the same mesh:
//   ASCII: the block reader with its exact fast number converter, against a plain
//          fgets + sscanf("%lf") reader of the same grammar;
//   binary: the reader that reads records straight into the mesh, against one plain fread of all
//          the records into a buffer of their size.
// Memory: bytes per facet that the loaded mesh holds, and the peak while loading, both as
// resident memory measured inside the process that loads (a child of its own per measurement).
//
//   pelorin_stl_bench [facets (default 500000)] [work directory (default $TMPDIR or /tmp)]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "util/MessageStream.h"

namespace {

using pelorin::Triangle;

constexpr int kRounds = 3;
constexpr std::size_t kDefaultFacets = 500000;
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr std::size_t kRecordSize = 50;
constexpr std::size_t kHeaderSize = 84;

struct Measurement {
    double seconds = 0;
    std::size_t facets = 0;
    long heldBytes = 0;  // resident growth that stays after the load
    long peakBytes = 0;  // resident high-water mark during the load, above the start
};

void writeAscii(const std::string& path, std::size_t facets) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::mt19937 random(1);
    std::uniform_real_distribution<double> c(-250.0, 250.0);
    std::fprintf(f, "solid bench\n");
    for (std::size_t i = 0; i < facets; ++i) {
        std::fprintf(f, "  facet normal %e %e %e\n    outer loop\n", c(random) / 250,
                     c(random) / 250, c(random) / 250);
        for (int v = 0; v < 3; ++v) {
            std::fprintf(f, "      vertex %e %e %e\n", c(random), c(random), c(random));
        }
        std::fprintf(f, "    endloop\n  endfacet\n");
    }
    std::fprintf(f, "endsolid bench\n");
    std::fclose(f);
}

void writeBinary(const std::string& path, const pelorin::TriangleArray& mesh) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    char header[80] = "binary bench mesh";
    std::fwrite(header, 1, sizeof header, f);
    const std::uint32_t count = static_cast<std::uint32_t>(mesh.size());
    std::fwrite(&count, 4, 1, f);  // the benchmark runs on little-endian machines
    for (const Triangle& t : mesh) {
        std::fwrite(&t, sizeof t, 1, f);
        const std::uint16_t attribute = 0;
        std::fwrite(&attribute, 2, 1, f);
    }
    std::fclose(f);
}

// One number as "%lf" reads it, narrowed as the mesh stores it; 0 where nothing matches.
float scanned(const char* token) {
    double value = 0.0;
    std::sscanf(token, "%lf", &value);
    return static_cast<float>(value);
}

// The straightforward reader: fgets line by line, tokens split at blanks, sscanf per number.
std::size_t plainRead(const std::string& path, std::vector<Triangle>& triangles) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) return 0;
    char line[256];
    Triangle current;
    int index = 0;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        char* tokens[5];
        int count = 0;
        for (char* t = std::strtok(line, " \t\r\n"); t != nullptr && count < 5;
             t = std::strtok(nullptr, " \t\r\n")) {
            tokens[count++] = t;
        }
        if (count == 0) continue;
        if (std::strcmp(tokens[0], "facet") == 0) {
            index = 0;
            for (int k = 0; k < 3 && 2 + k < count; ++k) current.normal[k] = scanned(tokens[2 + k]);
        } else if (std::strncmp(tokens[0], "endfacet", 8) == 0) {
            triangles.push_back(current);
            current = Triangle{};
        } else if (std::strcmp(tokens[0], "vertex") == 0 && index < 3) {
            for (int k = 0; k < 3 && 1 + k < count; ++k)
                current.vertex[index][k] = scanned(tokens[1 + k]);
            ++index;
        }
    }
    std::fclose(f);
    return triangles.size();
}

// The binary baseline: every record read with one fread into a buffer of their size.
std::unique_ptr<unsigned char[]> freadRecords(const std::string& path, std::size_t& facets) {
    facets = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return nullptr;
    unsigned char header[kHeaderSize];
    std::uint32_t count = 0;
    if (std::fread(header, 1, sizeof header, f) == sizeof header)
        std::memcpy(&count, header + 80, 4);
    std::unique_ptr<unsigned char[]> records(new unsigned char[std::size_t{count} * kRecordSize]);
    facets = std::fread(records.get(), kRecordSize, count, f);
    std::fclose(f);
    return records;
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Runs `load` in a child, which keeps what it loaded until it has measured; the time and the
// memory come back through a pipe.
template <typename Load>
Measurement inChild(const Load& load) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    std::fflush(stdout);  // or the child would print the parent's pending output again
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const long before = residentBytes();
        const auto start = std::chrono::steady_clock::now();
        auto kept = load();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        Measurement m{seconds, kept.first, residentBytes() - before,
                      usage.ru_maxrss * 1024 - before};
        if (write(fds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    Measurement m;
    if (read(fds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m = Measurement{};
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return m;
}

template <typename Load>
Measurement best(const Load& load) {
    Measurement result = inChild(load);
    for (int round = 1; round < kRounds; ++round) {
        const Measurement m = inChild(load);
        if (m.seconds < result.seconds) result.seconds = m.seconds;
        result.peakBytes = std::max(result.peakBytes, m.peakBytes);
        result.heldBytes = std::max(result.heldBytes, m.heldBytes);
    }
    return result;
}

long fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long>(in.tellg()) : 0;
}

double perFacet(long bytes, const Measurement& m) {
    return static_cast<double>(bytes) / static_cast<double>(m.facets);
}

void report(const char* label, const Measurement& m, long fileSize) {
    std::printf(
        "%-24s %8zu facets %8.3f s %8.1f MB/s %7.1f ns/facet  held %5.1f B/facet"
        "  peak %5.1f B/facet\n",
        label, m.facets, m.seconds, fileSize / kMegabyte / m.seconds,
        m.seconds * 1e9 / static_cast<double>(m.facets), perFacet(m.heldBytes, m),
        perFacet(m.peakBytes, m));
}

// Loads through the program's reader and keeps the object until the child has measured.
auto pelorinLoad(const std::string& path) {
    return [path] {
        auto object = std::make_unique<pelorin::DrawnObjectBySTL>("bench");
        const std::size_t facets = object->loadStl(path) ? object->triangles().size() : 0;
        return std::make_pair(facets, std::move(object));
    };
}

}  // namespace

int main(int argc, char** argv) {
    // The mesh object's destructor line would land among the figures.
    pelorin::StringSink discarded;
    pelorin::Console::redirect(&discarded, &discarded);
    const std::size_t facets = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : kDefaultFacets;
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = argc > 2 ? argv[2] : (tmp != nullptr ? tmp : "/tmp");
    const std::string ascii = dir + "/pelorin-bench-" + std::to_string(getpid()) + ".stl";
    const std::string binary = dir + "/pelorin-bench-" + std::to_string(getpid()) + "-bin.stl";
    writeAscii(ascii, facets);
    {
        pelorin::DrawnObjectBySTL mesh("m");
        mesh.loadStl(ascii);
        writeBinary(binary, mesh.triangles());
    }
    const long asciiBytes = fileBytes(ascii);
    const long binaryBytes = fileBytes(binary);
    std::printf("mesh: %zu facets, ASCII %.1f MB, binary %.1f MB, facet %zu bytes\n", facets,
                asciiBytes / kMegabyte, binaryBytes / kMegabyte, sizeof(Triangle));

    const Measurement fast = best(pelorinLoad(ascii));
    const Measurement plain = best([&] {
        auto triangles = std::make_unique<std::vector<Triangle>>();
        const std::size_t count = plainRead(ascii, *triangles);
        return std::make_pair(count, std::move(triangles));
    });
    const Measurement bin = best(pelorinLoad(binary));
    const Measurement raw = best([&] {
        std::size_t count = 0;
        auto records = freadRecords(binary, count);
        return std::make_pair(count, std::move(records));
    });
    report("ASCII, pelorin reader", fast, asciiBytes);
    report("ASCII, fgets+sscanf", plain, asciiBytes);
    report("binary, pelorin reader", bin, binaryBytes);
    report("binary, one fread", raw, binaryBytes);
    const double held = std::max(perFacet(fast.heldBytes, fast), perFacet(bin.heldBytes, bin));
    const double peak = std::max(perFacet(fast.peakBytes, fast), perFacet(bin.peakBytes, bin));
    std::printf("ratio (pelorin / fgets+sscanf, ASCII MB/s): %.2f (target: at least 3)\n",
                plain.seconds / fast.seconds);
    std::printf("ratio (binary pelorin time / fread time): %.2f (target: at most 1.4)\n",
                bin.seconds / raw.seconds);
    std::printf("held per facet: %.1f B (target: at most 60)\n", held);
    std::printf("ratio (load peak / held): %.2f (target: at most 1.3)\n", peak / held);
    std::remove(ascii.c_str());
    std::remove(binary.c_str());
    const bool sane = fast.facets == facets && plain.facets == facets && bin.facets == facets &&
                      raw.facets == facets;
    if (!sane) std::printf("FACET COUNTS DIFFER\n");
    return sane ? 0 : 1;
}
