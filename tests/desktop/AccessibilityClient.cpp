#include "tests/desktop/AccessibilityClient.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>

namespace velmora::testing {

namespace {

// The system's interpreter, where the distribution's pyatspi is: not whatever python3 comes
// first on someone's PATH.
constexpr const char* KPython = "/usr/bin/python3";

} // namespace

TAccessibilityClient::TAccessibilityClient(const TRealProcessSandbox& ASandbox,
                                           const TDesktopSession& ASession) {
    if (!QFileInfo(QString::fromLatin1(KPython)).isExecutable()) {
        FUnavailable = QStringLiteral("/usr/bin/python3 is not installed");
        return;
    }
    if (!ASession.Options().Accessibility) {
        FFailure = QStringLiteral("the session has no accessibility bus");
        return;
    }
    const QString script =
        ASandbox.Install(QStringLiteral(ATSPI_CLIENT_SCRIPT), QStringLiteral("atspi_client.py"));
    FLogFile = ASandbox.Path(QStringLiteral("logs/atspi-client.log"));
    FClient.setStandardErrorFile(FLogFile, QIODevice::Append);
    QProcessEnvironment env = ASession.Environment();
    env.insert(QStringLiteral("PYTHONDONTWRITEBYTECODE"), QStringLiteral("1"));
    env.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    ASandbox.Start(FClient, QString::fromLatin1(KPython), env, {script});
    const QJsonObject hello = Ask(QJsonObject(), 30000);
    if (hello.value(QStringLiteral("ready")).toBool())
        return;
    if (FClient.waitForFinished(5000) && FClient.exitCode() == 3)
        FUnavailable = hello.value(QStringLiteral("error")).toString();
    else
        FFailure = QStringLiteral("the client did not start: ") +
                   hello.value(QStringLiteral("error")).toString() + u'\n' + Log();
}

TAccessibilityClient::~TAccessibilityClient() {
    if (FClient.state() == QProcess::Running) {
        FClient.write("{\"cmd\": \"quit\"}\n");
        if (!FClient.waitForFinished(3000))
            Stop(FClient);
    }
}

QJsonObject TAccessibilityClient::Ask(const QJsonObject& ARequest, int ATimeoutMs) {
    // An empty request only reads the greeting the client writes once it is ready.
    if (!ARequest.isEmpty()) {
        FClient.write(QJsonDocument(ARequest).toJson(QJsonDocument::Compact) + '\n');
        FClient.waitForBytesWritten(5000);
    }
    QElapsedTimer clock;
    clock.start();
    while (!FPending.contains('\n')) {
        if (FClient.state() != QProcess::Running && FClient.bytesAvailable() == 0)
            return QJsonObject{{QStringLiteral("ok"), false},
                               {QStringLiteral("error"), QStringLiteral("the client has ended")}};
        if (clock.elapsed() > ATimeoutMs)
            return QJsonObject{{QStringLiteral("ok"), false},
                               {QStringLiteral("error"), QStringLiteral("no answer in time")}};
        FClient.waitForReadyRead(100);
        FPending += FClient.readAllStandardOutput();
    }
    const qsizetype end = FPending.indexOf('\n');
    const QByteArray line = FPending.left(end);
    FPending.remove(0, end + 1);
    QJsonParseError error{};
    const QJsonDocument answer = QJsonDocument::fromJson(line, &error);
    if (!answer.isObject())
        return QJsonObject{{QStringLiteral("ok"), false},
                           {QStringLiteral("error"),
                            QStringLiteral("unreadable answer: ") + QString::fromUtf8(line)}};
    return answer.object();
}

QJsonObject TAccessibilityClient::Select(const QString& ARole, const QString& AName) {
    return QJsonObject{{QStringLiteral("role"), ARole}, {QStringLiteral("name"), AName}};
}

QJsonObject TAccessibilityClient::Attach(const QProcess& AProcess, int ATimeoutS) {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("app")},
                {QStringLiteral("pid"), AProcess.processId()},
                {QStringLiteral("timeout"), ATimeoutS}});
}

QJsonArray TAccessibilityClient::Tree(bool AShowingOnly) {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("tree")},
                {QStringLiteral("showing"), AShowingOnly}})
        .value(QStringLiteral("objects"))
        .toArray();
}

QJsonArray TAccessibilityClient::Find(const QJsonObject& ASelector) {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("find")},
                {QStringLiteral("selector"), ASelector}})
        .value(QStringLiteral("matches"))
        .toArray();
}

QJsonArray TAccessibilityClient::WaitFor(const QJsonObject& ASelector, int ATimeoutS) {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("wait")},
                {QStringLiteral("selector"), ASelector},
                {QStringLiteral("timeout"), ATimeoutS}})
        .value(QStringLiteral("matches"))
        .toArray();
}

QJsonObject TAccessibilityClient::Action(const QJsonObject& ASelector, const QString& AAction) {
    QJsonObject request{{QStringLiteral("cmd"), QStringLiteral("action")},
                        {QStringLiteral("selector"), ASelector}};
    if (!AAction.isEmpty())
        request.insert(QStringLiteral("action"), AAction);
    return Ask(request);
}

QJsonObject TAccessibilityClient::SetText(const QJsonObject& ASelector, const QString& AText) {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("set_text")},
                {QStringLiteral("selector"), ASelector},
                {QStringLiteral("text"), AText}});
}

QJsonArray TAccessibilityClient::Events() {
    return Ask({{QStringLiteral("cmd"), QStringLiteral("events")}})
        .value(QStringLiteral("events"))
        .toArray();
}

QString TAccessibilityClient::Log() const {
    QFile file(FLogFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000))
                                          : QString();
}

} // namespace velmora::testing
