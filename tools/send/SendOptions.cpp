#include "tools/send/SendOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "tools/send/SendMessages.h"
#include "tools/send/ValueSources.h"
#include "util/NumberText.h"

namespace pelorin::send {
namespace {

namespace m = messages;

// Longest --linger: a mistyped value should not hold a connection for days.
constexpr double kMaxLingerSeconds = 3600;

bool toDouble(const std::string& text, double& value) {
    return readNumber(text, -HUGE_VAL, HUGE_VAL, value) == NumberProblem::None;
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

    bool takeNumber(const std::string& option, double& value, double minimum,
                    double maximum = HUGE_VAL) {
        std::string text;
        if (!takeValue(option, text)) return false;
        if (!toDouble(text, value)) return fail(std::string(m::kNotANumber) + text);
        if (value < minimum || value > maximum)
            return fail(std::string(m::kOutOfRange) + option + ": " + text);
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

bool isDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A number here is most likely the naming service's port, which --port once took.
bool parseInPort(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    std::string name;
    if (!reader.takeValue(option, name)) return false;
    if (name.empty() || isDigits(name)) return reader.fail(std::string(m::kBadInPortName) + name);
    options.portName = name;
    return true;
}

bool parseEndpoint(ArgumentReader& reader, const std::string& option, SendOptions& options) {
    std::string text;
    if (!reader.takeValue(option, text)) return false;
    if (text.empty() || text.find_first_of(" \t") != std::string::npos)
        return reader.fail(std::string(m::kBadEndpoint) + text);
    options.endpoint = text;
    return true;
}

// Properties that would make the connection disagree with what is sent: the transport, the
// direction and the byte order are pelorin-send's own, and the endpoint is the in-port's.
struct ReservedProperty {
    const char* key;
    bool isPrefix;
    const char* onlyValue;  // the one value accepted, or null for none
    std::string_view message;
};
const ReservedProperty kReservedProperties[] = {
    {"dataport.interface_type", false, "corba_cdr", m::kOnlyCorbaCdrPush},
    {"dataport.dataflow_type", false, "push", m::kOnlyCorbaCdrPush},
    {"dataport.serializer.cdr.endian", false, nullptr, m::kEndianByOption},
    {"dataport.corba_cdr.", true, nullptr, m::kSetByTheInPort},
};

// The framework trims and lower-cases the flow type before comparing it.
std::string normalised(const std::string& value) {
    const auto first = value.find_first_not_of(" \t");
    const auto last = value.find_last_not_of(" \t");
    std::string text = first == std::string::npos ? "" : value.substr(first, last - first + 1);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool parseConnectorProperty(ArgumentReader& reader, const std::string& option,
                            SendOptions& options) {
    std::string text;
    if (!reader.takeValue(option, text)) return false;
    const std::string::size_type equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return reader.fail(std::string(m::kBadConnectorProperty) + text);
    const std::string key = text.substr(0, equals);
    const std::string value = text.substr(equals + 1);
    for (const ReservedProperty& reserved : kReservedProperties) {
        const bool matches =
            reserved.isPrefix ? key.rfind(reserved.key, 0) == 0 : key == reserved.key;
        if (matches && (reserved.onlyValue == nullptr || normalised(value) != reserved.onlyValue))
            return reader.fail(std::string(reserved.message) + text);
    }
    options.connectorProperties.emplace_back(key, value);
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
    if (arg == "-p" || arg == "--naming-port") return parsePort(reader, arg, options);
    if (arg == "--port") return parseInPort(reader, arg, options);
    if (arg == "--connector-prop") return parseConnectorProperty(reader, arg, options);
    if (arg == "--linger") return reader.takeNumber(arg, options.linger, 0, kMaxLingerSeconds);
    if (arg == "--endpoint") return parseEndpoint(reader, arg, options);
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

}  // namespace

bool parseSendOptions(int argc, const char* const* argv, SendOptions& options, std::string& error) {
    ArgumentReader reader(argc, argv, error);
    while (reader.more()) {
        const std::string arg = reader.take();
        double value = 0.0;
        if (toDouble(arg, value)) {
            options.values.push_back(value);
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

PropertyList connectorProperties(ByteOrder order, const PropertyList& extra) {
    PropertyList properties = {
        {"dataport.interface_type", "corba_cdr"},
        {"dataport.dataflow_type", "push"},
        {"dataport.subscription_type", "flush"},
        {"dataport.data_type", "IDL:RTC/TimedDoubleSeq:1.0"},
        {"dataport.serializer.cdr.endian", order == ByteOrder::Big ? "big" : "little"},
    };
    for (const auto& [key, value] : extra) {
        auto same = std::find_if(properties.begin(), properties.end(),
                                 [&key = key](const auto& p) { return p.first == key; });
        if (same != properties.end())
            same->second = value;
        else
            properties.emplace_back(key, value);
    }
    return properties;
}

}  // namespace pelorin::send
