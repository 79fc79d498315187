#pragma once
// A value or the reason it could not be had. Errors travel up to where a user sees them
// instead of being printed deep inside.
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace tolmeo {

struct Failure {
  std::string reason;  // CP949, ready to show
};

template <typename T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Failure failure) : state_(std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const std::string& reason() const { return std::get<1>(state_).reason; }

 private:
  std::variant<T, Failure> state_;
};

// Success carries nothing.
struct Done {};
using Status = Result<Done>;

inline Status Success() { return Done{}; }

}  // namespace tolmeo
