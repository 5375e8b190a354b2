#include "installer/OperationErrors.h"

#include "installer/InstallLog.h"
#include "platform/system/Errors.h"

#include <exception>

namespace velmora {

QString CurrentErrorMessage() {
    try {
        throw;
    } catch (const EVelmoraError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void LogCurrentError(const QString& head) {
    WriteInstallLog(head + QStringLiteral("\r\n") + CurrentErrorMessage());
}

} // namespace velmora
