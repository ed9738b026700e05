// The value of a TRANS line read into a description of one transform element.
//
//   TRANSLATION(x,y,z)        translation named "TRANS_Line<n>"
//   TRANSLATION(name,x,y,z)   translation named after the first word of `name`
//   ROTATION(axis,angle)      rotation named "ROT_Line<n>"
//   ROTATION(name,axis,angle) rotation; axis is X, Y or Z after an optional "-", angle in degrees
//
// Empty items between commas vanish; numbers that are not numbers read as 0.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

struct TransArguments {
    enum class Kind { Translation, Rotation };
    Kind kind = Kind::Translation;
    std::string name;
    double x = 0.0;  // translation offsets, model units
    double y = 0.0;
    double z = 0.0;
    int axis = 0;           // rotation axis code 1 X, 2 Y, 3 Z
    double angle = 0.0;     // rotation angle, degrees
    bool inverted = false;  // a "-" stood before the axis letter
};

enum class TransReadResult {
    Ok,
    UnknownForm,  // begins with neither TRANSLATION nor ROTATION
    FormatError,  // wrong number of items or a bad axis token
};

// Reads `value` (the text after "TRANS =" and its blanks). `lineNumber` names unnamed elements.
TransReadResult readTransArguments(std::string_view value, int lineNumber, TransArguments& spec);

// The number at the start of `text` after white space, as sscanf(text, "%lf") reads it (hex
// floats included); 0 when there is none and also for infinities and NaN, which no transform
// or colour can use.
double readNumber(std::string_view text);

// The first white-space delimited word of `text` (as "%s" reads it); empty when there is none.
std::string readWord(std::string_view text);

}  // namespace pelorin
