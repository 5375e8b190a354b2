#include "platform/graphics/SkinApplication.h"

#include "platform/system/DebugOutput.h"
#include "platform/system/Errors.h"

namespace velmora {

namespace {
TSkinApplication::TErrorHook& Hook() {
    static TSkinApplication::TErrorHook hook;
    return hook;
}
} // namespace

TSkinApplication::TSkinApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TSkinApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(ErrorMessage(error));
    } catch (...) {
        HandleException(QStringLiteral("Unknown error"));
    }
    return false;
}

void TSkinApplication::SetOnException(TErrorHook hook) {
    Hook() = std::move(hook);
}

QString TSkinApplication::ErrorMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const EVelmoraError*>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

void TSkinApplication::HandleException(const QString& message) {
    if (Hook())
        Hook()(message);
    else
        OutputDebugString(message);
}

} // namespace velmora
