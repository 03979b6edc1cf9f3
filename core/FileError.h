#pragma once
// Failures that reach the presenter carry their text in the exception. The text travels
// as UTF-8 whatever the locale: it is made with failureText(QString) and read back with
// failureText(exception), nowhere else.
#include <QString>

#include <exception>
#include <stdexcept>
#include <string>

namespace quorix {

inline std::string failureText(const QString &text)
{
    return text.toStdString();
}

inline QString failureText(const std::exception &e)
{
    return QString::fromUtf8(e.what());
}

// A file that cannot be opened, read or written. Its text is what the general error
// report shows; its code is the system's error number (errno) when there was one, else 0.
class FileError : public std::runtime_error
{
  public:
    explicit FileError(const QString &text, int code = 0)
        : std::runtime_error(failureText(text)), code_(code)
    {
    }
    int code() const { return code_; }

  private:
    int code_;
};

} // namespace quorix
