// The component's own messages, UTF-8; converted at the console.
#pragma once

#include <string_view>

namespace pelorin::component_messages {

// A received sequence shorter than the value table: "doubleValue received N values but the
// setting file binds M; the sequence is not applied".
inline constexpr std::string_view kShortSequenceHead = "警告: doubleValue の受信データの要素数 ";
inline constexpr std::string_view kShortSequenceMiddle = " が設定ファイルの要素数 ";
inline constexpr std::string_view kShortSequenceTail = " より少ないため、このデータは適用しません";

}  // namespace pelorin::component_messages
