// Texts of the program entry and the component registration (UTF-8 here, converted at the
// console).
#pragma once

#include <string_view>

namespace pelorin::entry_messages {

// Written to standard error, with a line end, when the framework returns no component.
constexpr std::string_view kComponentCreateFailed = "Component create failed.";

// A second Pelorin component in one process: "a process has one Pelorin window, which another
// Pelorin already shows; this one is not initialised".
constexpr std::string_view kSecondComponentRefused =
    "Pelorin のウィンドウは 1 プロセスに 1 つです。このプロセスでは別の Pelorin "
    "が表示中のため、この Pelorin は初期化しません\n";

}  // namespace pelorin::entry_messages
