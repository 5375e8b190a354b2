#include "skin/drawing/SkinEngineLog.h"

#include "platform/system/Errors.h"
#include "platform/system/LogFile.h"

#include <QStringList>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace velmora {

QString ExceptionClassName(const std::exception& error) {
    if (const auto* own = dynamic_cast<const EVelmoraError*>(&error))
        return QString::fromLatin1(own->ClassName());
    const char* mangled = typeid(error).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

QString ExceptionMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const EVelmoraError*>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

QString SkinEngineLogMessage(const QString& className, const QString* objectName,
                             const std::exception* error, const QString& additional) {
    const QStringList parts{
        className.isEmpty() ? QString() : QStringLiteral("ClassName:") + className,
        objectName == nullptr ? QString() : QStringLiteral("ObjectName:") + *objectName,
        error == nullptr ? QString()
                         : QStringLiteral("ExceptionName:") + ExceptionClassName(*error),
        error == nullptr ? QString() : QStringLiteral("ExceptionMsg:") + ExceptionMessage(*error),
        additional.isEmpty() ? QString() : QStringLiteral("AdditionalMsg:") + additional,
    };
    return parts.join(QStringLiteral("   "));
}

void WriteSkinEngineLog(const QString& className, const QString* objectName,
                        const std::exception* error, const QString& fileName,
                        const QString& additional) {
    WriteLogFile(SkinEngineLogMessage(className, objectName, error, additional), fileName);
}

void LogSkinFailure(const QString& className, const QString* objectName,
                    const std::exception* error, const QString& tag) {
    WriteSkinEngineLog(className, objectName, error, SkinEngineLogFileName, tag);
}

} // namespace velmora
