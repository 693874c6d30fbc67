#pragma once
#include <cstddef>
#include <string>

namespace wendlow::pdf {

// The shortest decimal text that reads back as `value`, never with an exponent, and without a
// decimal point for whole numbers ("559", "141.5", "0.00001").
std::string format_real(double value);

// `offset` as exactly ten digits, padded on the left with zeros.
std::string format_xref_offset(std::size_t offset);

}  // namespace wendlow::pdf
