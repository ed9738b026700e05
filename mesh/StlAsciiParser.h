// The ASCII STL grammar, fed with the bytes of a file in pieces of any size.
//
// Lines end at LF, CR or CRLF (so LF, CRLF and CR files read alike) and may be up to
// kMaxLineBytes long; a longer line stops the reading. Blanks, tabs, CR and LF separate tokens.
// The first token of a line decides, in this order, its letters taken in any case (several CAD
// exporters write "SOLID" and "FACET NORMAL"):
//   "solid"            the solid's name becomes the second token (a nameless "solid" keeps it);
//   "facet"            the vertex index goes back to 0 and tokens 3..5 are the normal;
//   starts "endfacet"  the current triangle is appended, its normal completed as
//                      mesh/FacetNormal.h says, and a fresh one begun (the index stays);
//   "vertex"           tokens 2..4 are the vertex at the current index, then the index moves on;
//   "endsolid"         noted, so that a solid that says it is empty can be told from no STL;
// anything else is ignored. Numbers convert as sscanf("%lf") does; a token that is not a number,
// or missing from a short line, leaves its component unchanged. Vertex lines past the third of a
// facet are ignored. A triangle that no "endfacet" closes is dropped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mesh/Triangle.h"
#include "mesh/TriangleArray.h"
#include "util/ScanfDouble.h"

namespace pelorin {

class StlAsciiParser {
  public:
    enum class Stop {
        None,
        LineTooLong,  // a line longer than kMaxLineBytes
        OutOfMemory,  // the mesh could not grow by the next facet
    };

    // Facets are appended to `triangles`, which must outlive the parser.
    explicit StlAsciiParser(TriangleArray& triangles) : triangles_(&triangles) {}

    // Takes the next bytes of the file. Complete lines are parsed in place; only a line cut by
    // the end of `bytes` is copied, to be completed by the next call. Returns false once the
    // reading has stopped (see stop()); input after that is ignored.
    bool feed(std::string_view bytes);
    // Ends the input: parses a last line that has no line end. False when the reading stopped.
    bool finish();

    Stop stop() const { return stop_; }
    // The number of the line being read (1 for the first); after a stop, the line that stopped it.
    std::size_t lineNumber() const { return lineNumber_; }
    // Facets appended so far.
    std::size_t facets() const { return facets_; }
    // Whether a "solid" line and an "endsolid" line were read: a solid that says it is empty
    // when no facet was read.
    bool closedSolid() const { return sawSolid_ && sawEndSolid_; }
    // The name of the last named "solid" line, if any.
    const std::optional<std::string>& solidName() const { return solidName_; }

  private:
    static constexpr int kVerticesPerFacet = 3;
    class TokenCursor;

    void takeLine(std::string_view line);
    void keepPending(std::string_view piece);
    void parseLine(std::string_view line);
    // Converts the next three tokens (those the line holds) into xyz.
    void readTriple(TokenCursor& tokens, float* xyz) const;

    TriangleArray* triangles_;
    Triangle current_;
    int vertexIndex_ = 0;
    std::optional<std::string> solidName_;
    std::string pendingLine_;
    bool sawSolid_ = false;
    bool sawEndSolid_ = false;
    bool afterCr_ = false;  // the last line ended at a CR, so an LF next completes a CRLF
    std::size_t lineNumber_ = 1;
    std::size_t facets_ = 0;
    Stop stop_ = Stop::None;
    ScanfDoubleConverter numbers_;
};

}  // namespace pelorin
