// The viewer's own console texts, in UTF-8; Console converts them at the sink.
#pragma once

namespace pelorin::viewer_messages {

inline constexpr const char* kWindowTitle = "Pelorin RTC";

// Mouse traces: the button name, then the state with its line end.
inline constexpr const char* kLeftButton = "LEFT";
inline constexpr const char* kMiddleButton = "Middle";
inline constexpr const char* kRightButton = "Right";
inline constexpr const char* kButtonDown = " down";
inline constexpr const char* kButtonUp = " up";

// printf formats of the drag and arrow-key traces (the line end is written separately).
inline constexpr const char* kMoveFormat = "move %d\t%d";
inline constexpr const char* kViewRotFormat = "viewRot\t%lf\t%lf";

// Screenshot key: followed by the file name.
inline constexpr const char* kScreenshotSaved = "画面を保存しました: ";
inline constexpr const char* kScreenshotFailed = "画面を保存できません: ";
// After kScreenshotFailed and the file name: the reason given by the PNG writer follows.
inline constexpr const char* kReasonSeparator = " : ";

// The window cannot be opened; followed by the display name (or kNoDisplayName).
inline constexpr const char* kCannotOpenDisplay =
    "ウィンドウを開けません。X の表示先に接続できません: ";
inline constexpr const char* kNoDisplayName = "(DISPLAY が未設定)";

// PELORIN_MAX_FPS holds something other than a number in range; followed by the value, then
// kMaxFpsFallback, the default rate and kFramesPerSecond.
inline constexpr const char* kMaxFpsInvalid =
    "環境変数 PELORIN_MAX_FPS の値が不正です (1 から 1000 の数): ";
inline constexpr const char* kMaxFpsFallback = " → 上限は毎秒 ";
inline constexpr const char* kFramesPerSecond = " フレーム";

}  // namespace pelorin::viewer_messages
