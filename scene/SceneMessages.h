// The scene's own texts: the labels of the diagnostic dumps. UTF-8 here; MessageStream converts
// them at the sink.
#pragma once

#include <string_view>

namespace pelorin::scene_messages {

// Parts
inline constexpr std::string_view kDumpParts = "Dump Parts";
inline constexpr std::string_view kName = "Name = ";
inline constexpr std::string_view kDumpInputTransform = "Dump Input transform";
inline constexpr std::string_view kDumpOutputPath = "Dump Output path";
inline constexpr std::string_view kNumberOfOutputPath = "Number of Output path = ";
inline constexpr std::string_view kOrdinal = "N.o.";
inline constexpr std::string_view kMapKey = "Map Key = ";
inline constexpr std::string_view kNoChildren = "子は登録されていません";
inline constexpr std::string_view kDumpDrawnObject = "Dump DrawnObject";
inline constexpr std::string_view kNoDrawnObject = "描画オブジェクトは登録されていません";
// The spelling is part of the dump format that developers' scripts may grep for.
inline constexpr std::string_view kDumpComplete = "Dump complate\n";

// OutputPath
inline constexpr std::string_view kPathName = "Path name = ";
inline constexpr std::string_view kChildPartsObject = "Child Parts object = ";
inline constexpr std::string_view kNoChildName = "NONE";
inline constexpr std::string_view kDumpOutputTransform = "Dump output transform";

// TransformChain
inline constexpr std::string_view kNumberOfElements = "Number of Elements = ";
inline constexpr std::string_view kNotRegistered = "not registered";

// Transform elements
inline constexpr std::string_view kRotateTransform = "RotateTransform";
inline constexpr std::string_view kTranslateTransform = "TranslateTransform";
inline constexpr std::string_view kEnabledWithPeriod = "Transform is Enable.\n";
inline constexpr std::string_view kDisabledWithPeriod = "Transform is Disable.\n";
inline constexpr std::string_view kEnabled = "Transform is Enable";
inline constexpr std::string_view kDisabled = "Transform is Disable";
inline constexpr std::string_view kAxisX = "Rotation axis is X.\n";
inline constexpr std::string_view kAxisY = "Rotation axis is Y.\n";
inline constexpr std::string_view kAxisZ = "Rotation axis is Z.\n";
inline constexpr std::string_view kAxisUndefined = "Rotation axis is undefined.\n";
inline constexpr std::string_view kRotationAngle = "Rotation angle is ";
inline constexpr std::string_view kAngleEnd = ".\n";
inline constexpr std::string_view kOffset = "(x,y,z)=";
inline constexpr std::string_view kOffsetSeparator = ",";

}  // namespace pelorin::scene_messages
