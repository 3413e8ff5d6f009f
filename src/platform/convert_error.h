#pragma once
// EConvertError: a text that does not convert to the value asked for (a colour, an integer).
#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
