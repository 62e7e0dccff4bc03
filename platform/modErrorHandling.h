#pragma once

#include <QString>

#include <exception>
#include <string>

namespace vemro {

// Application error base of the program's own errors (hexadecimal 80040000).
constexpr qint32 kApplicationErrorBase = -2147221504;

// An error raised by the program itself: code = base + number, a source naming
// class, property and accessor, and the description.
class VemroError : public std::exception
{
public:
    VemroError(qint32 code, QString source, QString description);
    [[nodiscard]] qint32 code() const { return m_code; }
    [[nodiscard]] const QString& source() const { return m_source; }
    [[nodiscard]] const QString& description() const { return m_description; }
    [[nodiscard]] const char* what() const noexcept override { return m_what.c_str(); }

private:
    qint32 m_code;
    QString m_source;
    QString m_description;
    std::string m_what;
};

// The message text for one of the program's error numbers.
[[nodiscard]] QString ErrorText(qint32 number);

// Raises VemroError with code kApplicationErrorBase + number and ErrorText(number).
[[noreturn]] void RaiseError(qint32 number, const QString& source);

} // namespace vemro
