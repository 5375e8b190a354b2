#include "installer/BackgroundSync.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace velmora;

namespace {

bool IsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// More files than may wait at once, one of them a pipe (which cannot be synced): the pipe is
// the failure reported, by its tag and errno, the files after it still go through the queue,
// and every descriptor handed over is closed by the time Finish returns.
TEST(BackgroundSyncTest, TheFirstFailureIsReportedAndEveryDescriptorIsClosed) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::vector<int> given;
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    {
        TBackgroundSync syncs(2);
        for (size_t tag = 0; tag < 9; ++tag) {
            int fd = pipeEnds[1];
            if (tag != 5) {
                const QByteArray path = QFile::encodeName(folder.filePath(QString::number(tag)));
                fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
                ASSERT_GE(fd, 0);
                ASSERT_EQ(::write(fd, "data", 4), 4);
            }
            given.push_back(fd);
            syncs.Add(TFd(fd), tag);
        }
        const std::optional<TBackgroundSync::TFailure> failure = syncs.Finish();
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->Tag, 5u);
        EXPECT_EQ(failure->Error, EINVAL);
        for (const int fd : given)
            EXPECT_FALSE(IsOpen(fd)) << fd;
    }
    // Without a failure there is nothing to report, and dropping one unfinished still closes.
    const QByteArray path = QFile::encodeName(folder.filePath(u"last"_qs));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    {
        TBackgroundSync syncs;
        syncs.Add(TFd(fd), 0);
        EXPECT_FALSE(syncs.Finish().has_value());
        const int more = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(more, 0);
        syncs.Add(TFd(more), 1);
    }
    EXPECT_FALSE(IsOpen(fd));
}

} // namespace
