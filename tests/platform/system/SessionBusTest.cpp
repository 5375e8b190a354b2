#include "platform/system/SessionBus.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velmora::testing {
namespace {

// Each case sets the two variables, asks, and restores what the test process had.
class SessionBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "VELMORA_PRIVATE_ENV"})
            FSaved.emplace_back(name, qgetenv(name));
    }
    void TearDown() override {
        for (const auto& [name, value] : FSaved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    std::vector<std::pair<const char*, QByteArray>> FSaved;
};

TEST_F(SessionBusTest, OnlyASessionWithoutABusGetsTheAddressThatStartsNothing) {
    QTemporaryDir runtime;
    qunsetenv("VELMORA_PRIVATE_ENV");
    // A session with its bus socket: left alone.
    const QByteArray socketPath = QFile::encodeName(runtime.filePath(QStringLiteral("bus")));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ::strncpy(address.sun_path, socketPath.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    EXPECT_EQ(SessionBusAddress(), QStringLiteral("unix:path=") + QFile::decodeName(socketPath));
    EXPECT_FALSE(PreventSessionBusAutolaunch());
    EXPECT_TRUE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty());
    ::close(listener);

    // A set address wins.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus");
    EXPECT_FALSE(PreventSessionBusAutolaunch());
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), QByteArray("unix:path=/run/user/1000/bus"));

    // No bus at all (a plain file named bus is no bus): the installer's own address, kept from
    // the programs it starts, and reported as no bus to whoever asks.
    QFile plain(runtime.filePath(QStringLiteral("bus")));
    QFile::remove(plain.fileName());
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("VELMORA_PRIVATE_ENV", "FONTCONFIG_FILE");
    EXPECT_TRUE(PreventSessionBusAutolaunch());
    EXPECT_FALSE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty());
    EXPECT_TRUE(SessionBusAddress().isEmpty());
    EXPECT_EQ(qgetenv("VELMORA_PRIVATE_ENV"),
              QByteArray("FONTCONFIG_FILE:DBUS_SESSION_BUS_ADDRESS"));
    EXPECT_FALSE(PreventSessionBusAutolaunch()); // once is enough
    EXPECT_EQ(qgetenv("VELMORA_PRIVATE_ENV"),
              QByteArray("FONTCONFIG_FILE:DBUS_SESSION_BUS_ADDRESS"));
}

} // namespace
} // namespace velmora::testing
