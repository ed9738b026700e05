// The mesh library's own texts. UTF-8 here; MessageStream converts them at the sink.
#pragma once

#include <string_view>

namespace pelorin::mesh_messages {

inline constexpr std::string_view kDestructStl = "デストラクトDrawnObjectBySTL";

// Dump of a DrawnObjectBySTL
inline constexpr std::string_view kTypeStl = "TYPE = STL";
inline constexpr std::string_view kName = "NAME = ";
inline constexpr std::string_view kFilePath = "File path = ";
inline constexpr std::string_view kColor = "Color = ";
inline constexpr std::string_view kColorSeparator = ",";
inline constexpr std::string_view kNumberOfTriangles = "Number of Triangles = ";
inline constexpr std::string_view kDumpTransform = "Dump Transform";

}  // namespace pelorin::mesh_messages
