#pragma once
// Lets another thread end a test run early. The walkers poll it once per item
// they look at, so a stop takes effect within one folder entry or one key.

#include <atomic>

namespace kestrel {

class RunStop {
 public:
  RunStop() = default;  // a run that is never stopped
  explicit RunStop(const std::atomic<bool>* flag) : flag_(flag) {}

  bool Requested() const { return flag_ != nullptr && flag_->load(std::memory_order_relaxed); }

 private:
  const std::atomic<bool>* flag_ = nullptr;
};

}  // namespace kestrel
