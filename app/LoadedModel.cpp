#include "app/LoadedModel.h"

#include <new>

#include "scene/LiveValues.h"
#include "setting/SettingFileParser.h"

namespace pelorin {

LoadedModel::LoadedModel(std::unique_ptr<SettingFileParser> parser, Parts* root, std::string path)
    : parser_(std::move(parser)),
      root_(root),
      path_(std::move(path)),
      values_(std::make_unique<LiveValues>(parser_->defaultValues())) {}

LoadedModel::~LoadedModel() = default;

std::shared_ptr<LoadedModel> LoadedModel::read(const std::string& path, int* failedLine) {
    if (failedLine != nullptr) *failedLine = 0;
    try {
        auto parser = std::make_unique<SettingFileParser>();
        Parts* root = parser->parse(path);
        if (root == nullptr) {
            if (failedLine != nullptr) *failedLine = parser->failedLine();
            return nullptr;
        }
        return std::shared_ptr<LoadedModel>(new LoadedModel(std::move(parser), root, path));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::size_t LoadedModel::valueCount() const {
    return parser_->valueTable().size();
}

bool LoadedModel::receive(const double* values, std::size_t count) const {
    return values_->receive(parser_->valueTable(), values, count);
}

}  // namespace pelorin
