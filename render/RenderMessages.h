// The render library's own texts. UTF-8 here; MessageStream converts them at the sink.
#pragma once

namespace pelorin::render_text {

inline constexpr const char* kDestructStl = "デストラクトDrawnObjectBySTL";

// Dump of a DrawnObjectBySTL
inline constexpr const char* kTypeStl = "TYPE = STL";
inline constexpr const char* kName = "NAME = ";
inline constexpr const char* kFilePath = "File path = ";
inline constexpr const char* kColor = "Color = ";
inline constexpr const char* kColorSeparator = ",";
inline constexpr const char* kNumberOfTriangles = "Number of Triangles = ";
inline constexpr const char* kDumpTransform = "Dump Transform";

}  // namespace pelorin::render_text
