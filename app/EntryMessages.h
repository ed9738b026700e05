// Texts of the program entry and the component registration (UTF-8 here, converted at the
// console).
#pragma once

#include <string_view>

namespace pelorin::entry_messages {

// Written to standard error, with a line end, when the framework returns no component.
constexpr std::string_view kComponentCreateFailed = "Component create failed.";

}  // namespace pelorin::entry_messages
