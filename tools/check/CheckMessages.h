// Texts of pelorin-check (UTF-8 here, converted at the console).
#pragma once

#include <string_view>

namespace pelorin::check_messages {

constexpr std::string_view kUsage =
    "使い方: pelorin-check 設定ファイル [--values 値,値,...] [--poses]\n";
constexpr std::string_view kBadValueOpen = "--values の ";  // then the item's number
constexpr std::string_view kBadValueMiddle = " 番目の値[";  // then the item
constexpr std::string_view kBadValueClose = "]は有限の数ではありません\n";
constexpr std::string_view kTooManyValuesOpen = "--values の値が多すぎます: 値テーブルは ";
constexpr std::string_view kTooManyValuesMiddle = " 個, 値は ";
constexpr std::string_view kTooManyValuesClose = " 個\n";
constexpr std::string_view kCannotOpenOpen = "設定ファイル[";
constexpr std::string_view kCannotOpenClose = "]が開けません\n";
constexpr std::string_view kNotRegularFileClose = "]は通常のファイルではありません\n";
constexpr std::string_view kOutOfMemory = "メモリが足りません\n";
constexpr std::string_view kParseFailed = "設定ファイルの構文解析に失敗\n";
constexpr std::string_view kPartsHeading = "パーツ一覧\t";       // then the count
constexpr std::string_view kValueTableHeading = "値テーブル\t";  // then the count
constexpr std::string_view kValueColumns = "番号\tDATAPORT行\t種類\t現在値";
constexpr std::string_view kKindAngle = "angle";
constexpr std::string_view kKindX = "x";
constexpr std::string_view kKindY = "y";
constexpr std::string_view kKindZ = "z";

}  // namespace pelorin::check_messages
