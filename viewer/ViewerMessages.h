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

// Recording key. Started: the folder, then kRecordingRate, the frame cap, kFramesPerSecond and
// kRecordingRateClose. Stopped (once the last frame is written): the folder, kRecordingFrames
// with the number of files written, kRecordingDropped with the frames lost (writer behind, or a
// failed write).
inline constexpr const char* kRecordingStarted = "録画を開始しました: ";
inline constexpr const char* kRecordingRate = " (毎秒最大 ";
inline constexpr const char* kRecordingRateClose = ")";
inline constexpr const char* kRecordingStopped = "録画を終了しました: ";
inline constexpr const char* kRecordingFrames = " : 保存したフレーム ";
inline constexpr const char* kRecordingDropped = "、落としたフレーム ";
// Followed by the folder, kReasonSeparator and the reason.
inline constexpr const char* kRecordingCannotStart = "録画を開始できません: ";
// The first frame of a recording that could not be written: the file, kReasonSeparator, the
// reason. Later failures are only counted.
inline constexpr const char* kRecordingWriteFailed = "録画のフレームを保存できません: ";

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
