// A value, or the Status that says why there is none.
#pragma once

#include <utility>
#include <variant>

#include "base/status.h"

namespace quillmore::base {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : content_(std::move(value)) {}  // NOLINT: a value converts
  // `status` must not be ok.
  Result(Status status) : content_(std::move(status)) {}  // NOLINT: so does a failure

  bool ok() const { return std::holds_alternative<T>(content_); }
  // Ok when a value is held.
  Status status() const { return ok() ? Status::Ok() : std::get<Status>(content_); }
  // The value; only when ok().
  const T& value() const& { return std::get<T>(content_); }
  T& value() & { return std::get<T>(content_); }
  T&& value() && { return std::get<T>(std::move(content_)); }

 private:
  std::variant<T, Status> content_;
};

}  // namespace quillmore::base
