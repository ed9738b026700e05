// Base class of periodic data-flow components.
#pragma once

#include "rtm/RTObject.h"

namespace RTC {

class DataFlowComponentBase : public RTObject_impl {
  public:
    explicit DataFlowComponentBase(Manager* manager) : RTObject_impl(manager) {}
    ~DataFlowComponentBase() override = default;
    // Kept for source compatibility; all set-up happens in initialize().
    void init() {}
};

}  // namespace RTC
