// The scene's own texts: the labels of the diagnostic dumps. UTF-8 here; MessageStream converts
// them at the sink.
#pragma once

namespace pelorin::scene_text {

// Parts
inline constexpr const char* kDumpParts = "Dump Parts";
inline constexpr const char* kName = "Name = ";
inline constexpr const char* kDumpInputTransform = "Dump Input transform";
inline constexpr const char* kDumpOutputPath = "Dump Output path";
inline constexpr const char* kNumberOfOutputPath = "Number of Output path = ";
inline constexpr const char* kOrdinal = "N.o.";
inline constexpr const char* kMapKey = "Map Key = ";
inline constexpr const char* kNoChildren = "子は登録されていません";
inline constexpr const char* kDumpDrawnObject = "Dump DrawnObject";
inline constexpr const char* kNoDrawnObject = "描画オブジェクトは登録されていません";
// The spelling is part of the dump format that developers' scripts may grep for.
inline constexpr const char* kDumpComplete = "Dump complate\n";

// OutputPath
inline constexpr const char* kPathName = "Path name = ";
inline constexpr const char* kChildPartsObject = "Child Parts object = ";
inline constexpr const char* kNoChildName = "NONE";
inline constexpr const char* kDumpOutputTransform = "Dump output transform";

// TransformChain
inline constexpr const char* kNumberOfElements = "Number of Elements = ";
inline constexpr const char* kNotRegistered = "not registered";

// Transform elements
inline constexpr const char* kRotateTransform = "RotateTransform";
inline constexpr const char* kTranslateTransform = "TranslateTransform";
inline constexpr const char* kEnabledWithPeriod = "Transform is Enable.\n";
inline constexpr const char* kDisabledWithPeriod = "Transform is Disable.\n";
inline constexpr const char* kEnabled = "Transform is Enable";
inline constexpr const char* kDisabled = "Transform is Disable";
inline constexpr const char* kAxisX = "Rotation axis is X.\n";
inline constexpr const char* kAxisY = "Rotation axis is Y.\n";
inline constexpr const char* kAxisZ = "Rotation axis is Z.\n";
inline constexpr const char* kAxisUndefined = "Rotation axis is undefined.\n";
inline constexpr const char* kRotationAngle = "Rotation angle is ";
inline constexpr const char* kAngleEnd = ".\n";
inline constexpr const char* kOffset = "(x,y,z)=";
inline constexpr const char* kOffsetSeparator = ",";

}  // namespace pelorin::scene_text
