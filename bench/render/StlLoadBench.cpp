// STL loading speed and memory: the block reader with its fast number converter, beside a
// plain fgets + sscanf("%lf") reader of the same grammar, on one generated ASCII mesh; and the
// binary reader on the same mesh.
//
// Each measurement runs in a child process of its own, so the peak resident memory the kernel
// reports for that child belongs to that reader alone (less the baseline of an idle child).
//
//   pelorin_stl_bench [facets (default 500000)] [work directory (default $TMPDIR or /tmp)]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "render/DrawnObjectBySTL.h"
#include "util/MessageStream.h"

namespace {

using pelorin::Triangle;

constexpr int kRounds = 3;
constexpr std::size_t kDefaultFacets = 500000;
constexpr double kMegabyte = 1024.0 * 1024.0;

struct Measurement {
    double seconds = 0;
    std::size_t facets = 0;
    long peakKb = 0;
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

void writeBinary(const std::string& path, const std::vector<Triangle>& mesh) {
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
        float values[12];
        for (int k = 0; k < 3; ++k) values[k] = static_cast<float>(t.normal[k]);
        for (int v = 0; v < 3; ++v) {
            for (int k = 0; k < 3; ++k) values[3 + 3 * v + k] = static_cast<float>(t.vertex[v][k]);
        }
        std::fwrite(values, sizeof values, 1, f);
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

std::size_t pelorinRead(const std::string& path) {
    pelorin::DrawnObjectBySTL object("bench");
    return object.loadStl(path) ? object.triangles().size() : 0;
}

// Runs `reader` in a child; its time and the child's peak resident memory come back.
Measurement inChild(const std::function<std::size_t()>& reader) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    std::fflush(stdout);  // or the child would print the parent's pending output again
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        const std::size_t facets = reader();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Measurement m{seconds, facets, 0};
        if (write(fds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    Measurement m;
    if (read(fds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m = Measurement{};
    close(fds[0]);
    struct rusage usage {};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    m.peakKb = usage.ru_maxrss;
    return m;
}

Measurement best(const std::function<std::size_t()>& reader) {
    Measurement result = inChild(reader);
    for (int round = 1; round < kRounds; ++round) {
        const Measurement m = inChild(reader);
        if (m.seconds < result.seconds) result.seconds = m.seconds;
        if (m.peakKb > result.peakKb) result.peakKb = m.peakKb;
    }
    return result;
}

long fileBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return 0;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

void report(const char* label, const Measurement& m, long bytes, long baselineKb) {
    std::printf("%-22s %9zu facets  %8.3f s  %8.1f MB/s  %8.1f ns/facet  peak %7.1f MB\n", label,
                m.facets, m.seconds, bytes / kMegabyte / m.seconds,
                m.seconds * 1e9 / static_cast<double>(m.facets),
                static_cast<double>(m.peakKb - baselineKb) / 1024.0);
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
    std::printf("mesh: %zu facets, ASCII %.1f MB, binary %.1f MB, triangle %zu bytes\n", facets,
                asciiBytes / kMegabyte, binaryBytes / kMegabyte, sizeof(Triangle));

    const long baselineKb = best([] { return std::size_t{0}; }).peakKb;
    const Measurement fast = best([&] { return pelorinRead(ascii); });
    const Measurement plain = best([&] {
        std::vector<Triangle> triangles;
        return plainRead(ascii, triangles);
    });
    const Measurement bin = best([&] { return pelorinRead(binary); });
    report("ASCII, pelorin reader", fast, asciiBytes, baselineKb);
    report("ASCII, fgets+sscanf", plain, asciiBytes, baselineKb);
    report("binary, pelorin reader", bin, binaryBytes, baselineKb);
    std::printf("baseline process peak %.1f MB (subtracted above)\n", baselineKb / 1024.0);
    std::printf("ratio (pelorin / fgets+sscanf, ASCII MB/s): %.2f\n", plain.seconds / fast.seconds);
    std::printf("binary per facet vs ASCII per facet: %.2f times faster\n",
                (fast.seconds / static_cast<double>(fast.facets)) /
                    (bin.seconds / static_cast<double>(bin.facets)));
    std::remove(ascii.c_str());
    std::remove(binary.c_str());
    const bool sane = fast.facets == facets && plain.facets == facets && bin.facets == facets;
    if (!sane) std::printf("FACET COUNTS DIFFER\n");
    return sane ? 0 : 1;
}
