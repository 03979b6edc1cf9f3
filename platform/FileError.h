#pragma once
#include <stdexcept>
#include <string>

namespace quorix {

// A file that cannot be opened, read or written. Its text is what the general error
// report shows.
class FileError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace quorix
