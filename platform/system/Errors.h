#pragma once

#include <QString>
#include <exception>

namespace velmora {

// The root of every error this system raises. It carries a fixed, human-readable message;
// the class name is what logs print as the error's kind.
class EVelmoraError : public std::exception {
public:
    explicit EVelmoraError(QString message)
        : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}

    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }
    virtual const char* ClassName() const noexcept { return "EVelmoraError"; }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// Declares a subclass of Base named Name whose ClassName() is its own name.
#define VELMORA_DECLARE_ERROR(Name, Base)                                                          \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* ClassName() const noexcept override { return #Name; }                          \
    }

} // namespace velmora
