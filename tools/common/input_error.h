// The one error type of the host programs' readers and files.
#pragma once

#include <stdexcept>

namespace common {

// Input a program refuses, or a file it cannot read or write; what() says
// which and why ("controllers[1].inputs[0]: unknown input \"X\"",
// "run.log: cannot be written: No space left on device").
class input_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace common
