#include "tools/send/SendOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "tools/send/SendMessages.h"
#include "tools/send/ValueSources.h"

namespace pelorin::send {
namespace {

namespace m = messages;

bool toDouble(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

class ArgumentReader {
  public:
    ArgumentReader(int argc, const char* const* argv, std::string& error)
        : argc_(argc), argv_(argv), error_(error) {}

    bool more() const { return next_ < argc_; }
    std::string take() { return argv_[next_++]; }

    bool takeValue(const std::string& option, std::string& value) {
        if (!more()) return fail(std::string(m::kMissingArgument) + option);
        value = take();
        return true;
    }

    bool takeNumber(const std::string& option, double& value, double minimum) {
        std::string text;
        if (!takeValue(option, text)) return false;
        if (!toDouble(text, value)) return fail(std::string(m::kNotANumber) + text);
        if (value < minimum) return fail(std::string(m::kOutOfRange) + option + ": " + text);
        return true;
    }

    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

  private:
    int argc_;
    const char* const* argv_;
    int next_ = 1;
    std::string& error_;
};

bool setMode(SendOptions& options, SendMode mode, ArgumentReader& reader) {
    if (options.mode != SendMode::Values && options.mode != mode)
        return reader.fail(std::string(m::kTwoModes));
    options.mode = mode;
    return true;
}

bool parseByteOrder(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    std::string text;
    if (!reader.takeValue(option, text)) return false;
    if (text == "little")
        options.byteOrder = ByteOrder::Little;
    else if (text == "big")
        options.byteOrder = ByteOrder::Big;
    else
        return reader.fail(std::string(m::kBadByteOrder) + text);
    return true;
}

bool parseCount(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    double count = 0;
    if (!reader.takeNumber(option, count, 0)) return false;
    if (count != std::floor(count) || count > 1e6)
        return reader.fail(std::string(m::kOutOfRange) + option);
    options.count = static_cast<int>(count);
    return true;
}

bool parseCentres(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    std::string text;
    if (!reader.takeValue(option, text)) return false;
    std::string bad;
    if (!parseNumberLine(text, options.centres, bad) || options.centres.empty())
        return reader.fail(std::string(m::kBadCentres) + text);
    return true;
}

bool parsePort(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    double port = 0;
    if (!reader.takeNumber(option, port, 1)) return false;
    if (port != std::floor(port) || port > 65535)
        return reader.fail(std::string(m::kOutOfRange) + option);
    options.namingPort = static_cast<int>(port);
    return true;
}

bool parseOption(const std::string& arg, ArgumentReader& reader, SendOptions& options) {
    if (arg == "-h" || arg == "--help") return setMode(options, SendMode::Help, reader);
    if (arg == "--sweep") return setMode(options, SendMode::Sweep, reader);
    if (arg == "--stdin") return setMode(options, SendMode::Stdin, reader);
    if (arg == "--state") return setMode(options, SendMode::State, reader);
    if (arg == "--exit") return setMode(options, SendMode::Exit, reader);
    if (arg == "--profile") return setMode(options, SendMode::Profile, reader);
    if (arg == "--activate") return options.activate = true;
    if (arg == "-p" || arg == "--port") return parsePort(reader, arg, options);
    if (arg == "-H" || arg == "--host") return reader.takeValue(arg, options.namingHost);
    if (arg == "-n" || arg == "--name") return reader.takeValue(arg, options.name);
    if (arg == "-i" || arg == "--ior") return reader.takeValue(arg, options.reference);
    if (arg == "--count") return parseCount(reader, arg, options);
    if (arg == "--rate") return reader.takeNumber(arg, options.rate, 1e-3);
    if (arg == "--duration") return reader.takeNumber(arg, options.duration, 0);
    if (arg == "--amplitude") return reader.takeNumber(arg, options.amplitude, 0);
    if (arg == "--centre" || arg == "--center") return parseCentres(reader, arg, options);
    if (arg == "--period") return reader.takeNumber(arg, options.period, 1e-3);
    if (arg == "--byte-order") return parseByteOrder(reader, arg, options);
    return reader.fail(std::string(m::kUnknownOption) + arg);
}

// A leading '-' followed by a digit or '.' is a negative value, not an option.
bool looksLikeNumber(const std::string& arg) {
    double ignored;
    return toDouble(arg, ignored);
}

}  // namespace

bool parseSendOptions(int argc, const char* const* argv, SendOptions& options, std::string& error) {
    ArgumentReader reader(argc, argv, error);
    while (reader.more()) {
        const std::string arg = reader.take();
        if (looksLikeNumber(arg)) {
            options.values.push_back(std::strtod(arg.c_str(), nullptr));
        } else if (!arg.empty() && arg[0] == '-') {
            if (!parseOption(arg, reader, options)) return false;
        } else {
            return reader.fail(std::string(m::kNotANumber) + arg);
        }
    }
    const bool hasValues = !options.values.empty();
    if (hasValues && options.mode != SendMode::Values)
        return reader.fail(std::string(m::kTwoModes));
    if (!hasValues && options.mode == SendMode::Values && !options.activate)
        return reader.fail(std::string(m::kNothingToSend));
    return true;
}

std::string sendUsage() {
    return std::string(messages::kUsage);
}

}  // namespace pelorin::send
