// Reads a URDF file: its XML is checked here first, so that a fault is reported with the file's
// line (not XML, not a robot, a xacro file, links and joints without names or named twice, a
// joint naming an unknown link, a link with two parents, several roots, a cycle); then urdfdom
// builds the model, and what urdfdom still refuses is reported with urdfdom's own words.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <urdf_model/model.h>

namespace pelorin {

struct UrdfDescription {
    std::shared_ptr<urdf::ModelInterface> model;
    std::string file;                     // as given on the command line
    std::vector<std::string> jointOrder;  // every joint, in document order
    std::map<std::string, int> linkLines;
    std::map<std::string, int> jointLines;
    std::vector<std::string> warnings;  // what urdfdom left out or doubted, each with its place

    // "FILE:LINE: link 'NAME': ", the front of a message about that link.
    std::string whereLink(const std::string& link) const;
    std::string whereJoint(const std::string& joint) const;
};

// Throws ImportError with the file (and line) in front.
UrdfDescription readUrdf(const std::string& path);
// The same for text in memory; `file` names it in messages.
UrdfDescription readUrdfText(const std::string& text, const std::string& file);

}  // namespace pelorin
