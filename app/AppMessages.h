// Texts that the start-up writes to the console (UTF-8 here, converted at the console).
#pragma once

#include <string_view>

namespace pelorin::app_messages {

constexpr std::string_view kStarting = "RTM起動\n";
constexpr std::string_view kBadArguments = "引数が不正です\n";
constexpr std::string_view kDebugMode = "デバッグモード\n";
constexpr std::string_view kCannotOpenOpen = "設定ファイル[";  // then the path
constexpr std::string_view kCannotOpenClose = "]が開けません\n";
constexpr std::string_view kNotRegularFileClose = "]は通常のファイルではありません\n";
constexpr std::string_view kConfigFileOpen = "rtc.conf[";  // then the path
constexpr std::string_view kUsage =
    "使い方: pelorin [フレームワークのオプション] [-debug] 設定ファイル\n"
    "  -f ファイル   使う rtc.conf (ないときは RTC_MANAGER_CONFIG、./rtc.conf の順に探す)\n"
    "  -o キー:値    設定を一つ与える。rtc.conf より優先し、繰り返せる\n"
    "                (例: -o exec_cxt.periodic.rate:500)\n"
    "  -p ポート     ORB の待ち受けポート\n"
    "  -a -d -i      フレームワークのマネージャのスイッチ (-i: -f のファイルがなくても続ける)\n"
    "  -debug        起動時に「デバッグモード」と表示する。ほかの動作は変わらない\n";
constexpr std::string_view kParseFailed = "設定ファイルの構文解析に失敗\n";
// A reload that did not read; the model on screen stays.
constexpr std::string_view kReloadFailedOpen = "設定ファイル[";  // then the path
constexpr std::string_view kReloadFailedClose =
    "]を読み直せませんでした。表示中のモデルを使い続けます\n";
// Where the reading stopped, when it did within the lines: "設定ファイル[FILE]の N 行目を読み直せ
// ませんでした。...", the line's trace being in PASER_LOG.txt.
constexpr std::string_view kReloadFailedAtLine = "]の ";  // then the line number
constexpr std::string_view kReloadFailedAtLineClose =
    " 行目を読み直せませんでした (PASER_LOG.txt を参照)。表示中のモデルを使い続けます\n";
// Printed by the main body after a failed argument check (no line end).
constexpr std::string_view kStartFailed = "プログラム起動に失敗";

}  // namespace pelorin::app_messages
