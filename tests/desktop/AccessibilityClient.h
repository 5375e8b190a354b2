#pragma once

#include "tests/desktop/DesktopSession.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>

namespace velmora::testing {

// The screen-reader client (atspi_client.py, run by the system's /usr/bin/python3 with
// pyatspi as the session's user on its session bus), asked one request at a time.
class TAccessibilityClient {
public:
    TAccessibilityClient(const TRealProcessSandbox& ASandbox, const TDesktopSession& ASession);
    ~TAccessibilityClient();

    // Why there is no client here (no python3 or pyatspi): the test skips.
    const QString& Unavailable() const { return FUnavailable; }
    // Why the client did not start although everything was there: the test fails.
    const QString& Failure() const { return FFailure; }

    // One request; the answer has "ok" and, when false, "error".
    QJsonObject Ask(const QJsonObject& ARequest, int ATimeoutMs = 60000);

    // Selectors: the first showing object of ARole named AName.
    static QJsonObject Select(const QString& ARole, const QString& AName);

    // Follows the program AProcess from now on; its name on the bus, or an error.
    QJsonObject Attach(const QProcess& AProcess, int ATimeoutS = 30);
    QJsonArray Tree(bool AShowingOnly = true);
    QJsonArray Find(const QJsonObject& ASelector);
    QJsonArray WaitFor(const QJsonObject& ASelector, int ATimeoutS = 10);
    QJsonObject Action(const QJsonObject& ASelector, const QString& AAction = QString());
    QJsonObject SetText(const QJsonObject& ASelector, const QString& AText);
    QJsonArray Events();

    QString Log() const;

private:
    QProcess FClient;
    QString FUnavailable;
    QString FFailure;
    QString FLogFile;
    QByteArray FPending;
};

} // namespace velmora::testing
