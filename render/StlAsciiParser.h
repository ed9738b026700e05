// The ASCII STL grammar, fed with the bytes of a file in pieces of any size.
//
// Lines end at LF or CR (so LF, CRLF and CR files read alike) and may be of any length. Blanks,
// tabs, CR and LF separate tokens. The first token of a line decides, in this order:
//   "solid"            the solid's name becomes the second token (a nameless "solid" keeps it);
//   "facet"            the vertex index goes back to 0 and tokens 3..5 are the normal;
//   starts "endfacet"  the current triangle is appended and a fresh one begun (the index stays);
//   "vertex"           tokens 2..4 are the vertex at the current index, then the index moves on;
// anything else is ignored. Numbers convert as sscanf("%lf") does; a token that is not a number,
// or missing from a short line, leaves its component unchanged. Vertex lines past the third of a
// facet are ignored. A triangle that no "endfacet" closes is dropped.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/ScanfDouble.h"
#include "render/Triangle.h"

namespace pelorin {

class StlAsciiParser {
  public:
    // Facets are appended to `triangles`, which must outlive the parser.
    explicit StlAsciiParser(std::vector<Triangle>& triangles) : triangles_(&triangles) {}

    // Takes the next bytes of the file. Complete lines are parsed in place; only a line cut by
    // the end of `bytes` is copied, to be completed by the next call.
    void feed(std::string_view bytes);
    // Ends the input: parses a last line that has no line end.
    void finish();

    // The name of the last named "solid" line, if any.
    const std::optional<std::string>& solidName() const { return solidName_; }

    // Parses one line without its line end.
    void parseLine(std::string_view line);

  private:
    static constexpr int kVerticesPerFacet = 3;
    class TokenCursor;

    // Converts the next three tokens (those the line holds) into xyz.
    void readTriple(TokenCursor& tokens, float* xyz) const;

    std::vector<Triangle>* triangles_;
    Triangle current_;
    int vertexIndex_ = 0;
    std::optional<std::string> solidName_;
    std::string pendingLine_;
    ScanfDoubleConverter numbers_;
};

}  // namespace pelorin
