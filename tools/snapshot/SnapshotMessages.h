// Texts of pelorin-snapshot (UTF-8 here, converted at the console). A setting file that does not
// read is reported with pelorin-check's texts (tools/check/CheckMessages.h).
#pragma once

#include <string_view>

namespace pelorin::snapshot_messages {

constexpr std::string_view kUsage =
    "使い方: pelorin-snapshot 設定ファイル 出力.png [--values 値1,値2,...] [--size 幅x高さ] "
    "[--fit]\n"
    "設定ファイルのロボットをウィンドウと同じ絵で PNG に保存します (表示先は不要)。\n"
    "  --values 値1,値2,...  値テーブルに先頭から順に入れる値 (角度は度)\n"
    "  --size 幅x高さ        絵の大きさ (画素、既定 800x800)\n"
    "  --fit                 モデル全体が収まる視点 (ウィンドウの f キーと同じ)\n";
constexpr std::string_view kPrefix = "pelorin-snapshot: ";
// Command-line faults, each followed by the argument concerned.
constexpr std::string_view kUnknownOption = "知らないオプションです: ";
constexpr std::string_view kMissingArgument = "値がありません: ";
constexpr std::string_view kNotANumber = "--values の値が数ではありません: ";
constexpr std::string_view kBadSize =
    "--size は 幅x高さ で、各辺 1 から 8192、合わせて 16777216 画素までです: ";
constexpr std::string_view kWrongArgumentCount = "設定ファイルと出力ファイルを一つずつ指定します";
// More values than the value table has entries: the table's size, then the number given.
constexpr std::string_view kTooManyValuesOpen = "値が多すぎます: 値テーブルは ";
constexpr std::string_view kTooManyValuesMiddle = " 個、--values は ";
constexpr std::string_view kTooManyValuesClose = " 個";
// Followed by the reason.
constexpr std::string_view kCannotRender = "描画できません: ";
// Followed by the file, kReasonSeparator and the reason.
constexpr std::string_view kCannotWrite = "画像を保存できません: ";
constexpr std::string_view kReasonSeparator = " : ";
constexpr std::string_view kSaved = "画像を保存しました: ";  // then the file

}  // namespace pelorin::snapshot_messages
