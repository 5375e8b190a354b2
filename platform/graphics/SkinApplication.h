#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace velmora {

// The program's application object. Any error that escapes an event handler ends here
// instead of ending the process: it goes to the application-wide error hook, which the main
// window sets to write the message to the install log.
class TSkinApplication : public QApplication {
public:
    using TErrorHook = std::function<void(const QString& message)>;

    TSkinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the hook; an empty one sends the message to the debug output.
    static void SetOnException(TErrorHook hook);
    // What the hook receives for an escaping error.
    static QString ErrorMessage(const std::exception& error);
    // Hands a message to the hook, as notify does.
    static void HandleException(const QString& message);
};

} // namespace velmora
