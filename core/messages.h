// Texts of errors that more than one module raises, each typed once here.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

// The standard conversion error of text that is not an integer:
// "'<text>' is not a valid integer value". A record's integer key and an
// empty month or day list of a date casting both end with it.
std::string NotAnIntegerText(std::string_view text);

// The error carrying that text.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text) : std::runtime_error(NotAnIntegerText(text)) {}
};

}  // namespace core
