#include "app/LoadedModel.h"

#include <algorithm>
#include <new>

#include "scene/TransformValue.h"
#include "setting/SettingFileParser.h"

namespace pelorin {

LoadedModel::LoadedModel(std::unique_ptr<SettingFileParser> parser, Parts* root, std::string path)
    : parser_(std::move(parser)), root_(root), path_(std::move(path)) {}

LoadedModel::~LoadedModel() = default;

std::shared_ptr<LoadedModel> LoadedModel::read(const std::string& path) {
    try {
        auto parser = std::make_unique<SettingFileParser>();
        Parts* root = parser->parse(path);
        if (root == nullptr) return nullptr;
        return std::shared_ptr<LoadedModel>(new LoadedModel(std::move(parser), root, path));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::size_t LoadedModel::valueCount() const {
    return parser_->valueTable().size();
}

std::size_t LoadedModel::setValues(const double* values, std::size_t count) const {
    const auto& table = parser_->valueTable();
    const std::size_t written = std::min(count, table.size());
    // Ascending order: when two entries share a cell, the later index wins.
    for (std::size_t i = 0; i < written; ++i) table[i]->set(values[i]);
    return written;
}

}  // namespace pelorin
