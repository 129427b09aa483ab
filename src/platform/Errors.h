#pragma once

#include <stdexcept>
#include <string>

// Errors raised by the core. Each carries the text the user is shown.

// A model operation refused (a key taken, an invalid edit).
class EFixtureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should hold a number does not.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be read or written.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
