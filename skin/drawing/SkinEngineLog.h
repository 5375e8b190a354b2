#pragma once

#include <QString>
#include <exception>

namespace velmora {

// The file every failure of the skin engine is written to.
inline const QString SkinEngineLogFileName = QStringLiteral("SkinEngine.log");

// The error's class name as logs print it: the declared name for this system's errors,
// the demangled type name otherwise.
QString ExceptionClassName(const std::exception& error);
QString ExceptionMessage(const std::exception& error);

// The five parts "ClassName:", "ObjectName:", "ExceptionName:", "ExceptionMsg:",
// "AdditionalMsg:" joined by three spaces; a part whose value is absent is empty, but its
// separators stay.
QString SkinEngineLogMessage(const QString& className, const QString* objectName,
                             const std::exception* error, const QString& additional);

// Writes one entry through the program's log writer into fileName.
void WriteSkinEngineLog(const QString& className, const QString* objectName,
                        const std::exception* error, const QString& fileName,
                        const QString& additional);

// The usual call of a catching site: one entry in "SkinEngine.log" tagged with the operation.
void LogSkinFailure(const QString& className, const QString* objectName,
                    const std::exception* error, const QString& tag);

} // namespace velmora
