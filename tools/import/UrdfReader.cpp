#include "tools/import/UrdfReader.h"

#include <console_bridge/console.h>
#include <tinyxml.h>
#include <urdf_parser/urdf_parser.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace m = import_messages;

// Keeps urdfdom's complaints for the message instead of letting them reach the console.
// urdfdom also drops what it cannot read (a visual with a bad number) with only such a message,
// so they are kept for the warnings of a model that was built.
class KeepMessages : public console_bridge::OutputHandler {
  public:
    void log(const std::string& text, console_bridge::LogLevel level, const char*, int) override {
        const bool repeated = !texts.empty() && texts.back() == text;
        if (level >= console_bridge::CONSOLE_BRIDGE_LOG_WARN && !repeated) texts.push_back(text);
    }
    std::vector<std::string> texts;
};

// "FILE:LINE: ", or "FILE: " where the line is not known.
std::string at(const std::string& file, int line) {
    return line > 0 ? file + ":" + std::to_string(line) + ": " : file + ": ";
}

std::string named(const std::string& name) {
    return "'" + name + "'";
}

const char* attribute(const TiXmlElement& element, const char* name) {
    const char* value = element.Attribute(name);
    return value != nullptr ? value : "";
}

std::string linkOf(const TiXmlElement& joint, const char* tag) {
    const TiXmlElement* end = joint.FirstChildElement(tag);
    return end != nullptr ? attribute(*end, "link") : "";
}

struct JointEnds {
    std::string name, parent, child;
    int line = 0;
};

// The tree checks: every joint end is a known link, no link has two parents, one root, and
// every link is reached from it.
class TreeCheck {
  public:
    TreeCheck(const UrdfDescription& d, const std::vector<JointEnds>& joints) : d_(d) {
        for (const JointEnds& j : joints) checkJoint(j);
    }
    void checkRootAndCycles() const;

  private:
    void checkJoint(const JointEnds& j);
    void reach(const std::string& link, std::set<std::string>& reached) const;

    const UrdfDescription& d_;
    std::map<std::string, std::string> parentJoint_;
    std::multimap<std::string, std::string> children_;
};

void TreeCheck::checkJoint(const JointEnds& j) {
    for (const std::string& link : {j.parent, j.child}) {
        if (!link.empty() && d_.linkLines.count(link) == 0) {
            throw ImportError(at(d_.file, j.line) + "joint " + named(j.name) +
                              std::string(m::kUnknownLink) + named(link));
        }
    }
    if (j.parent.empty() || j.child.empty()) {
        throw ImportError(at(d_.file, j.line) + "joint " + named(j.name) + std::string(m::kNoEnd));
    }
    const auto [it, added] = parentJoint_.emplace(j.child, j.name);
    if (!added) {
        throw ImportError(at(d_.file, j.line) + "link " + named(j.child) +
                          std::string(m::kTwoParents) + named(it->second) + " and " +
                          named(j.name));
    }
    children_.emplace(j.parent, j.child);
}

void TreeCheck::reach(const std::string& link, std::set<std::string>& reached) const {
    std::vector<std::string> pending{link};
    while (!pending.empty()) {
        const std::string next = pending.back();
        pending.pop_back();
        if (!reached.insert(next).second) continue;
        const auto range = children_.equal_range(next);
        for (auto it = range.first; it != range.second; ++it) pending.push_back(it->second);
    }
}

void TreeCheck::checkRootAndCycles() const {
    std::vector<std::string> roots;
    for (const auto& [name, line] : d_.linkLines) {
        if (parentJoint_.count(name) == 0) roots.push_back(name);
    }
    if (roots.size() > 1) {
        std::string list;
        for (const std::string& r : roots) {
            list += (list.empty() ? "" : ", ") + named(r) + " (line " +
                    std::to_string(d_.linkLines.at(r)) + ")";
        }
        throw ImportError(d_.file + ": " + std::string(m::kSeveralRoots) + list);
    }
    std::set<std::string> reached;
    if (!roots.empty()) reach(roots.front(), reached);
    for (const auto& [name, line] : d_.linkLines) {
        if (reached.count(name) == 0) {
            throw ImportError(at(d_.file, line) + std::string(m::kCycle) + named(name));
        }
    }
}

bool looksLikeXacro(const TiXmlElement& robot) {
    return robot.Attribute("xmlns:xacro") != nullptr ||
           std::string(robot.Value()).rfind("xacro:", 0) == 0;
}

void readNames(UrdfDescription& d, const TiXmlElement& robot, std::vector<JointEnds>& joints) {
    for (const TiXmlElement* e = robot.FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        const std::string tag = e->Value();
        if (tag != "link" && tag != "joint") continue;
        const std::string name = attribute(*e, "name");
        if (name.empty())
            throw ImportError(at(d.file, e->Row()) + "<" + tag + "> " + std::string(m::kNoName));
        auto& lines = tag == "link" ? d.linkLines : d.jointLines;
        if (!lines.emplace(name, e->Row()).second) {
            throw ImportError(at(d.file, e->Row()) +
                              std::string(tag == "link" ? m::kDuplicateLink : m::kDuplicateJoint) +
                              named(name) + " (first on line " + std::to_string(lines[name]) + ")");
        }
        if (tag == "joint") {
            d.jointOrder.push_back(name);
            joints.push_back({name, linkOf(*e, "parent"), linkOf(*e, "child"), e->Row()});
        }
    }
}

void checkXml(UrdfDescription& d, const std::string& text) {
    TiXmlDocument document;
    document.Parse(text.c_str());
    if (document.Error()) {
        throw ImportError(at(d.file, document.ErrorRow()) + std::string(m::kNotXml) +
                          document.ErrorDesc());
    }
    const TiXmlElement* robot = document.RootElement();
    if (robot == nullptr) throw ImportError(d.file + ": " + std::string(m::kNotXml) + "no element");
    if (looksLikeXacro(*robot)) throw ImportError(d.file + ": " + std::string(m::kXacro));
    if (std::string(robot->Value()) != "robot") {
        throw ImportError(at(d.file, robot->Row()) + std::string(m::kNotUrdf) + robot->Value() +
                          std::string(m::kNotUrdfClose));
    }
    std::vector<JointEnds> joints;
    readNames(d, *robot, joints);
    if (d.linkLines.empty()) throw ImportError(at(d.file, robot->Row()) + std::string(m::kNoLinks));
    TreeCheck(d, joints).checkRootAndCycles();
}

// urdfdom names the joint or link concerned in brackets or quotes: its line goes in front.
std::string withLine(const UrdfDescription& d, const std::string& text) {
    for (const auto& [open, close] : {std::pair{'[', ']'}, std::pair{'\'', '\''}}) {
        for (std::size_t from = text.find(open); from != std::string::npos;
             from = text.find(open, from + 1)) {
            const std::size_t to = text.find(close, from + 1);
            if (to == std::string::npos) break;
            const std::string name = text.substr(from + 1, to - from - 1);
            for (const auto* lines : {&d.jointLines, &d.linkLines}) {
                const auto it = lines->find(name);
                if (it != lines->end()) return at(d.file, it->second) + text;
            }
        }
    }
    return d.file + ": " + text;
}

}  // namespace

std::string UrdfDescription::whereLink(const std::string& link) const {
    const auto it = linkLines.find(link);
    return at(file, it != linkLines.end() ? it->second : 0) + "link " + named(link) + ": ";
}

std::string UrdfDescription::whereJoint(const std::string& joint) const {
    const auto it = jointLines.find(joint);
    return at(file, it != jointLines.end() ? it->second : 0) + "joint " + named(joint) + ": ";
}

UrdfDescription readUrdfText(const std::string& text, const std::string& file) {
    UrdfDescription d;
    d.file = file;
    checkXml(d, text);
    KeepMessages messages;
    console_bridge::useOutputHandler(&messages);
    try {
        d.model = urdf::parseURDF(text);
    } catch (const std::exception& error) {
        messages.texts.push_back(error.what());
    }
    console_bridge::restorePreviousOutputHandler();
    if (!d.model) {
        std::string all;
        for (const std::string& text : messages.texts) all += (all.empty() ? "" : "; ") + text;
        throw ImportError(withLine(d, std::string(m::kUrdfRefused) + all));
    }
    for (const std::string& text : messages.texts) d.warnings.push_back(withLine(d, text));
    return d;
}

UrdfDescription readUrdf(const std::string& path) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open()) throw ImportError(path + ": " + std::string(m::kCannotRead));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw ImportError(path + ": " + std::string(m::kCannotRead));
    return readUrdfText(text, path);
}

}  // namespace pelorin
