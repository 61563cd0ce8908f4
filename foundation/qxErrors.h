#pragma once
// The exception family of the library. Every error the user may see carries a
// ready Chinese message; the program shows it in a message box as it stands.

#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : Message(std::move(message)), FUtf8(Message.toUtf8()) {}
    const char* what() const noexcept override { return FUtf8.constData(); }
    QString Message;

private:
    QByteArray FUtf8;
};

// Errors of the product's own components (containers, base data, windows).
class EKavelinErr : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};
