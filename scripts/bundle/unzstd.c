// The one-file release's own decompressor: a desktop has tar and a shell but not always a
// zstd program, so the release carries this one (linked with libzstd statically, nothing
// but the C library besides) in front of its archive.
//
//   velmora-unzstd OFFSET LENGTH SIZE [PROGRAM [ARGUMENT...]] < release.run
//
// Decompresses the one zstd frame that fills the LENGTH bytes starting OFFSET bytes into
// standard input, a file that must be SIZE bytes long: onto standard output, or, when a
// PROGRAM is named, into a pipe that PROGRAM reads as its standard input (tar, which unpacks
// the frame). The release's archive is several such frames, one after the other, and the
// header runs one of these per frame at the same time. Each checks the file's size first, so
// a cut or lengthened file is refused before anything is written. The frame must carry a
// checksum of its content (pack.sh makes it so), which is checked as the frame ends.
//
// Exit 0 only when the file had its size, the frame ended exactly LENGTH bytes after it began,
// its checksum held and PROGRAM ended with status 0; 3 for a damaged or cut file (the
// release's integrity check), whatever PROGRAM did: a PROGRAM that stops reading early does
// not stop the frame from being checked to its end; 1 for anything else (PROGRAM failed, a
// write failed, a usage error); each with a line on standard error. On SIGHUP, SIGINT,
// SIGQUIT or SIGTERM, PROGRAM is stopped and waited for before this program ends, so once it
// has ended nothing writes into the folder any more.
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
// libzstd is linked in whole, so its frame-header interface (outside the shared library's
// stable set) is ours to use.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

// The largest window a frame may ask for (8 MiB); a frame that asks for more is no part of
// ours. The release is packed with a window of 1 MiB: a larger one finds more repeats, but the
// decoder then works through a buffer that no longer stays in the processor's caches, and
// unpacking takes longer (with a window the size of the archive, more than twice as long).
// The window is mapped with its pages in place, so a damaged header asking for much more
// would cost that much memory at once.
enum { KWindowLogMax = 23 };

enum { KPassed = 0, KFailed = 1, KDamaged = 3 };

// Output is written in pieces this large, and a pipe it goes through is made to hold as much
// (when the system allows it): through the usual 64 KiB pipe the two programs take turns for
// every 64 KiB, and the handing over costs half as much time as the decompression itself.
enum { KOutputBytes = 1 << 20 };

static const int KStopSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
enum { KStopSignalCount = sizeof KStopSignals / sizeof KStopSignals[0] };

// The program reading the output (-1 when none), and where the output goes.
static volatile pid_t consumer = -1;
static int output = STDOUT_FILENO;

static int Fail(const char* what, const char* why) {
    fprintf(stderr, "velmora-unzstd: %s: %s\n", what, why);
    return KFailed;
}

static int Damaged(const char* why) {
    fprintf(stderr, "velmora-unzstd: archive: %s\n", why);
    return KDamaged;
}

// A decimal byte count, nothing else; -1 when the text is none or too large.
static long long ByteCount(const char* text) {
    if (*text == '\0')
        return -1;
    long long value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return -1;
        const int digit = *text - '0';
        if (value > (LLONG_MAX - digit) / 10)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

// Waits for the consumer to end; answers its wait status. It is reaped with the stop signals
// held back, so the signal handler never sends a signal to a process id no longer ours.
static int ReapConsumer(void) {
    siginfo_t info;
    while (waitid(P_PID, (id_t)consumer, &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    sigset_t all, before;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
    int status = 0;
    while (waitpid(consumer, &status, 0) < 0 && errno == EINTR) {
    }
    consumer = -1;
    sigprocmask(SIG_SETMASK, &before, NULL);
    return status;
}

// A signal that ends this program ends the consumer first, then this program of the same
// signal, so whoever started it sees why it ended.
static void StopOnSignal(int signalNumber) {
    if (consumer > 0) {
        kill(consumer, SIGTERM);
        while (waitpid(consumer, NULL, 0) < 0 && errno == EINTR) {
        }
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

static void HandleStopSignals(void) {
    for (int i = 0; i < KStopSignalCount; ++i) {
        struct sigaction now;
        // A signal the starting shell ignores (SIGINT for a background job) stays ignored.
        if (sigaction(KStopSignals[i], NULL, &now) != 0 || now.sa_handler == SIG_IGN)
            continue;
        struct sigaction stop;
        memset(&stop, 0, sizeof stop);
        stop.sa_handler = StopOnSignal;
        sigfillset(&stop.sa_mask);
        sigaction(KStopSignals[i], &stop, NULL);
    }
    // A consumer that stops reading is a failed write, not the end of this program: the frame
    // is still checked to its end.
    signal(SIGPIPE, SIG_IGN);
}

// Starts argv[0] with a new pipe as its standard input; output then goes into the pipe. It is
// spawned rather than forked: this program waits while it starts, instead of filling the
// pipe and then waiting for it to be read while the new process waits for a processor.
static int StartConsumer(char** argv) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return Fail("pipe", strerror(errno));
    (void)fcntl(ends[1], F_SETPIPE_SZ, (int)KOutputBytes);
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    posix_spawnattr_init(&attributes);
    // The consumer acts on signals as a program the shell started would: what this program
    // handles is reset, what the shell had ignored stays ignored.
    sigset_t reset;
    sigemptyset(&reset);
    sigaddset(&reset, SIGPIPE);
    for (int i = 0; i < KStopSignalCount; ++i) {
        struct sigaction now;
        if (sigaction(KStopSignals[i], NULL, &now) == 0 && now.sa_handler != SIG_IGN)
            sigaddset(&reset, KStopSignals[i]);
    }
    // No stop signal may come between the start and the noting of the process id.
    sigset_t all, before;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
    posix_spawnattr_setsigdefault(&attributes, &reset);
    posix_spawnattr_setsigmask(&attributes, &before);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv, environ);
    if (error == 0)
        consumer = pid;
    sigprocmask(SIG_SETMASK, &before, NULL);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[0]);
    if (error != 0) {
        close(ends[1]);
        return Fail(argv[0], strerror(error));
    }
    output = ends[1];
    return KPassed;
}

// Writes all of it; 0, or -1 with errno set.
static int WriteAll(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(output, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return -1;
        data += written;
        size -= (size_t)written;
    }
    return 0;
}

// Reads up to `size` bytes at `offset` of standard input; the count read, 0 at the file's
// end, -1 on an error.
static ssize_t ReadAt(char* buffer, size_t size, off_t offset) {
    for (;;) {
        const ssize_t got = pread(STDIN_FILENO, buffer, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        return got;
    }
}

// Hands on what the decoder gave; once the reader has gone, what follows is only checked.
static int Deliver(const char* data, size_t size, int* readerGone) {
    if (size == 0 || *readerGone)
        return KPassed;
    if (WriteAll(data, size) == 0)
        return KPassed;
    if (errno != EPIPE)
        return Fail("output", strerror(errno));
    *readerGone = 1;
    return KPassed;
}

// The decoder's buffers are mapped with their pages in place: window and output are a few
// MiB together, and taking each of their pages on first touch, one fault at a time, cost a
// sixth of the decompression on a virtual machine. A size word in front of each block says how much
// to unmap; the block itself keeps malloc's alignment.
enum { KBlockHeader = 64 };

static void* MapBlock(void* opaque, size_t size) {
    (void)opaque;
    if (size > SIZE_MAX - KBlockHeader)
        return NULL;
    char* block = mmap(NULL, size + KBlockHeader, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (block == MAP_FAILED)
        return NULL;
    *(size_t*)block = size + KBlockHeader;
    return block + KBlockHeader;
}

static void UnmapBlock(void* opaque, void* address) {
    (void)opaque;
    if (address == NULL)
        return;
    char* block = (char*)address - KBlockHeader;
    munmap(block, *(size_t*)block);
}

// Decodes the frame in [offset, offset + length) of standard input onto the output.
static int Decompress(long long offset, long long length, int* readerGone) {
    const ZSTD_customMem mapped = {MapBlock, UnmapBlock, NULL};
    ZSTD_DCtx* context = ZSTD_createDCtx_advanced(mapped);
    const size_t inSize = ZSTD_DStreamInSize();
    char* inBuffer = MapBlock(NULL, inSize);
    char* outBuffer = MapBlock(NULL, KOutputBytes);
    if (context == NULL || inBuffer == NULL || outBuffer == NULL)
        return Fail("memory", "no decompression context or buffers");
    ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, KWindowLogMax);

    int verdict = KPassed;
    // Until the frame has ended, what ZSTD_decompressStream last answered is non-zero.
    size_t pending = 1;
    long long position = offset;
    const long long end = offset + length;
    while (verdict == KPassed && position < end) {
        const long long left = end - position;
        const size_t want = left < (long long)inSize ? (size_t)left : inSize;
        const ssize_t got = ReadAt(inBuffer, want, (off_t)position);
        if (got < 0) {
            verdict = Fail("input", strerror(errno));
            break;
        }
        // The file was cut while it was read.
        if (got == 0) {
            verdict = Damaged("cut short");
            break;
        }
        if (position == offset) {
            // A frame without a checksum could not be checked: it is no archive of ours.
            ZSTD_frameHeader header;
            if (ZSTD_getFrameHeader(&header, inBuffer, (size_t)got) != 0 ||
                header.frameType != ZSTD_frame || !header.checksumFlag) {
                verdict = Damaged("no checked zstd frame where the archive begins");
                break;
            }
        }
        position += got;
        ZSTD_inBuffer in = {inBuffer, (size_t)got, 0};
        while (verdict == KPassed && in.pos < in.size) {
            if (pending == 0) {
                verdict = Damaged("the frame ends before its length");
                break;
            }
            ZSTD_outBuffer out = {outBuffer, KOutputBytes, 0};
            pending = ZSTD_decompressStream(context, &out, &in);
            if (ZSTD_isError(pending))
                verdict = Damaged(ZSTD_getErrorName(pending));
            else
                verdict = Deliver(outBuffer, out.pos, readerGone);
        }
    }
    // The decoder may still hold output of a frame whose input has all been read.
    while (verdict == KPassed && pending != 0) {
        ZSTD_inBuffer in = {inBuffer, 0, 0};
        ZSTD_outBuffer out = {outBuffer, KOutputBytes, 0};
        pending = ZSTD_decompressStream(context, &out, &in);
        if (ZSTD_isError(pending))
            verdict = Damaged(ZSTD_getErrorName(pending));
        else if (out.pos == 0 && pending != 0)
            verdict = Damaged("the frame goes on past its length");
        else
            verdict = Deliver(outBuffer, out.pos, readerGone);
    }
    ZSTD_freeDCtx(context);
    UnmapBlock(NULL, inBuffer);
    UnmapBlock(NULL, outBuffer);
    return verdict;
}

int main(int argc, char** argv) {
    if (argc < 4)
        return Fail("usage", "velmora-unzstd OFFSET LENGTH SIZE [PROGRAM [ARGUMENT...]] < FILE");
    const long long offset = ByteCount(argv[1]);
    const long long length = ByteCount(argv[2]);
    const long long size = ByteCount(argv[3]);
    if (offset < 0 || length <= 0 || size < 0 || offset > size || length > size - offset)
        return Fail("arguments", "OFFSET and LENGTH must be byte counts within SIZE");

    struct stat input;
    if (fstat(STDIN_FILENO, &input) != 0 || !S_ISREG(input.st_mode))
        return Fail("input", "not a file");
    if (input.st_size < size)
        return Damaged("cut short");
    if (input.st_size > size)
        return Damaged("longer than it should be");

    HandleStopSignals();
    if (argc > 4) {
        if (StartConsumer(argv + 4) != KPassed)
            return KFailed;
    } else {
        struct stat where;
        if (fstat(STDOUT_FILENO, &where) == 0 && S_ISFIFO(where.st_mode))
            (void)fcntl(STDOUT_FILENO, F_SETPIPE_SZ, (int)KOutputBytes);
    }

    int readerGone = 0;
    int verdict = Decompress(offset, length, &readerGone);
    if (consumer <= 0) {
        if (verdict == KPassed && readerGone)
            verdict = Fail("output", "the reader stopped before the end");
        return verdict;
    }
    // What a damaged frame gave is of no use: the consumer is stopped rather than left to
    // complain about an archive cut short. Otherwise its status says whether it did its work
    // (tar may stop reading at the archive's end marker, before the padding after it).
    if (verdict == KDamaged)
        kill(consumer, SIGTERM);
    close(output);
    const int status = ReapConsumer();
    if (verdict == KPassed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        char why[64];
        if (WIFEXITED(status))
            snprintf(why, sizeof why, "ended with status %d", WEXITSTATUS(status));
        else
            snprintf(why, sizeof why, "ended by signal %d", WTERMSIG(status));
        verdict = Fail(argv[4], why);
    }
    return verdict;
}
