#include "scene/ConsoleDump.h"

namespace pelorin {

void dumpToConsoleVia(const std::function<void(MessageStream&)>& dumpInto) {
    MessageStream& console = Console::out();
    StringSink buffer;
    MessageStream text(buffer, console);
    dumpInto(text);
    console.raw(buffer.text());
    console.flush();
}

}  // namespace pelorin
