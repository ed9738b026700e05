// STL held in memory, ASCII or binary, as a mesh file's bytes: the reader must neither crash nor
// take more memory than the facets need, must decide and read exactly as the plain reference
// (fuzz/StlReference.h, numbers through sscanf token by token) does, and the ASCII grammar must
// read the same whatever pieces the bytes arrive in.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "fuzz/StlReference.h"
#include "mesh/StlAsciiParser.h"
#include "mesh/StlFile.h"

namespace {

using pelorin::fuzz::check;

// Bit for bit, so that NaNs and signed zeros count.
template <class Facets>
bool sameFacets(const pelorin::TriangleArray& mesh, const Facets& facets) {
    return mesh.size() == facets.size() &&
           (mesh.empty() ||
            std::memcmp(mesh.data(), facets.data(), mesh.size() * sizeof(pelorin::Triangle)) == 0);
}

void checkAgainstReference(std::string_view bytes) {
    pelorin::TriangleArray mesh;
    std::optional<std::string> name;
    const pelorin::StlLoadResult result = pelorin::readStlBytes(bytes, mesh, name);
    const pelorin::fuzz::StlExpectation expect = pelorin::fuzz::expectStl(bytes);
    if (!expect.modelled) return;
    check(result.status == expect.status, "load status");
    check(result.paddedBinary == expect.paddedBinary, "padded binary");
    if (result.status == pelorin::StlLoadStatus::TruncatedBinary || result.paddedBinary) {
        check(result.expectedSize == expect.expectedSize && result.actualSize == expect.actualSize,
              "sizes reported");
    }
    check(sameFacets(mesh, expect.facets), "facets, bit for bit");
    check(name == expect.solidName, "solid name");
}

struct AsciiOutcome {
    pelorin::TriangleArray mesh;
    std::optional<std::string> name;
    pelorin::StlAsciiParser::Stop stop = pelorin::StlAsciiParser::Stop::None;
    std::size_t line = 0;
};

AsciiOutcome parseInPieces(std::string_view bytes, std::size_t piece) {
    AsciiOutcome outcome;
    pelorin::StlAsciiParser parser(outcome.mesh);
    for (std::size_t at = 0; at < bytes.size() && parser.feed(bytes.substr(at, piece));
         at += piece) {
    }
    parser.finish();
    outcome.name = parser.solidName();
    outcome.stop = parser.stop();
    outcome.line = parser.lineNumber();
    return outcome;
}

// The pieces' size comes from the input, so that a finding replays the same way.
void checkPieces(std::string_view bytes) {
    if (bytes.empty()) return;
    const std::size_t piece = 1 + static_cast<unsigned char>(bytes.front()) % 61;
    const AsciiOutcome whole = parseInPieces(bytes, bytes.size());
    const AsciiOutcome pieces = parseInPieces(bytes, piece);
    check(pieces.stop == whole.stop && pieces.line == whole.line, "stop and line in pieces");
    check(pieces.name == whole.name, "solid name in pieces");
    check(sameFacets(pieces.mesh, whole.mesh), "facets in pieces");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkAgainstReference(bytes);
    checkPieces(bytes);
    return 0;
}
