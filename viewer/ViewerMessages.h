// The viewer's own console texts, in UTF-8; Console converts them at the sink.
// Each text is a string_view over a literal, so .data() is NUL-terminated where a C API wants
// a const char* (printf formats, the window title).
#pragma once

#include <string_view>

namespace pelorin::viewer_messages {

inline constexpr std::string_view kWindowTitle = "Pelorin RTC";

// Mouse traces: the button name, then the state with its line end.
inline constexpr std::string_view kLeftButton = "LEFT";
inline constexpr std::string_view kMiddleButton = "Middle";
inline constexpr std::string_view kRightButton = "Right";
inline constexpr std::string_view kButtonDown = " down";
inline constexpr std::string_view kButtonUp = " up";

// printf formats of the drag and arrow-key traces (the line end is written separately).
inline constexpr std::string_view kMoveFormat = "move %d\t%d";
inline constexpr std::string_view kViewRotFormat = "viewRot\t%lf\t%lf";

// Screenshot key: followed by the file name.
inline constexpr std::string_view kScreenshotSaved = "画面を保存しました: ";
inline constexpr std::string_view kScreenshotFailed = "画面を保存できません: ";
// After kScreenshotFailed and the file name: the reason given by the PNG writer follows.
inline constexpr std::string_view kReasonSeparator = " : ";

// Recording key. Started: the folder, then kRecordingRate, the frame cap, kFramesPerSecond and
// kRecordingRateClose. Stopped (once the last frame is written): the folder, kRecordingFrames
// with the number of files written, kRecordingDropped with the frames lost (writer behind, or a
// failed write).
inline constexpr std::string_view kRecordingStarted = "録画を開始しました: ";
inline constexpr std::string_view kRecordingRate = " (毎秒最大 ";
inline constexpr std::string_view kRecordingRateClose = ")";
inline constexpr std::string_view kRecordingStopped = "録画を終了しました: ";
inline constexpr std::string_view kRecordingFrames = " : 保存したフレーム ";
inline constexpr std::string_view kRecordingDropped = "、落としたフレーム ";
// Followed by the folder, kReasonSeparator and the reason.
inline constexpr std::string_view kRecordingCannotStart = "録画を開始できません: ";
// The first frame of a recording that could not be written: the file, kReasonSeparator, the
// reason. Later failures are only counted.
inline constexpr std::string_view kRecordingWriteFailed = "録画のフレームを保存できません: ";

// The window cannot be opened; followed by the display name (or kNoDisplayName).
inline constexpr std::string_view kCannotOpenDisplay =
    "ウィンドウを開けません。X の表示先に接続できません: ";
inline constexpr std::string_view kNoDisplayName = "(DISPLAY が未設定)";

// PELORIN_MAX_FPS holds something other than a number in range; followed by the value, then
// kMaxFpsFallback, the default rate and kFramesPerSecond.
inline constexpr std::string_view kMaxFpsInvalid =
    "環境変数 PELORIN_MAX_FPS の値が不正です (1 から 1000 の数): ";
inline constexpr std::string_view kMaxFpsFallback = " → 上限は毎秒 ";
inline constexpr std::string_view kFramesPerSecond = " フレーム";

}  // namespace pelorin::viewer_messages
