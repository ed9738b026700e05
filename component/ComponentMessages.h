// The component's own messages, UTF-8; converted at the console.
#pragma once

#include <string_view>

namespace pelorin::component_messages {

// A received sequence shorter than the value table: "doubleValue received N values but the
// setting file binds M; the sequence is not applied".
inline constexpr std::string_view kShortSequenceHead = "警告: doubleValue の受信データの要素数 ";
inline constexpr std::string_view kShortSequenceMiddle = " が設定ファイルの要素数 ";
inline constexpr std::string_view kShortSequenceTail = " より少ないため、このデータは適用しません";

// A payload whose sequence length announces more values than its bytes hold: "doubleValue data
// refused (connection NAME): N values announced need B bytes, only S arrived".
inline constexpr std::string_view kRefusedHead =
    "警告: doubleValue の受信データを破棄しました (接続 ";
inline constexpr std::string_view kRefusedAnnounced = "): 要素数 ";
inline constexpr std::string_view kRefusedNeeds = " には ";
inline constexpr std::string_view kRefusedHas = " バイトが必要ですが、届いたのは ";
inline constexpr std::string_view kRefusedTail = " バイトです";
// Later refusals on the same connection, counted: "N more doubleValue data refused (connection
// NAME)".
inline constexpr std::string_view kRefusedMoreHead = "警告: doubleValue の受信データをさらに ";
inline constexpr std::string_view kRefusedMoreMiddle = " 件破棄しました (接続 ";
inline constexpr std::string_view kRefusedMoreTail = ")";

}  // namespace pelorin::component_messages
