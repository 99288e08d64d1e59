#pragma once

#include <stdexcept>
#include <string>

namespace Platform {

// The base of every error the library raises; Message is what the user sees.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string &message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// The heap refused a request.
class EOutOfMemory : public Exception {
public:
  using Exception::Exception;
};

// A picture file could not be read as a picture.
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// A picture was asked for something it does not have, such as a row beyond its height.
class EInvalidGraphicOperation : public Exception {
public:
  using Exception::Exception;
};

} // namespace Platform
