// The one-file release's own decompressor: a desktop has tar and a shell but not always a
// zstd program, so the release carries this one (linked with libzstd statically, nothing
// but the C library besides) in front of its archive.
//
//   velmora-unzstd OFFSET < release.run > archive.tar
//
// Decompresses the one zstd frame that starts OFFSET bytes into standard input and ends with
// it, onto standard output. The frame must carry a checksum of its content (pack.sh makes it
// so), which is checked as the frame ends. Exit 0 only when the frame ended whole, at the end
// of the input, and its checksum held; 3 for a damaged or cut archive (the release's
// integrity check), 1 for anything else (a write that failed, a usage error), each with a
// line on standard error.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>
// libzstd is linked in whole, so its frame-header interface (outside the shared library's
// stable set) is ours to use.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

// The largest window a frame may ask for (128 MiB). The release is packed with a window of a
// few MiB: a larger one would find the data both programs embed as a repeat, but the decoder
// then works through a buffer the size of the whole archive, and unpacking takes more than
// twice as long.
enum { KWindowLogMax = 27 };

enum { KFailed = 1, KDamaged = 3 };

static int Fail(const char* what, const char* why) {
    fprintf(stderr, "velmora-unzstd: %s: %s\n", what, why);
    return KFailed;
}

static int Damaged(const char* why) {
    fprintf(stderr, "velmora-unzstd: archive: %s\n", why);
    return KDamaged;
}

static int WriteAll(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return -1;
        data += written;
        size -= (size_t)written;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2)
        return Fail("usage", "velmora-unzstd OFFSET < FILE > OUTPUT");
    char* end = NULL;
    errno = 0;
    const long long offset = strtoll(argv[1], &end, 10);
    if (errno != 0 || end == argv[1] || *end != '\0' || offset < 0)
        return Fail("offset", "not a byte count");
    if (lseek(STDIN_FILENO, (off_t)offset, SEEK_SET) != (off_t)offset)
        return Fail("input", "cannot reach the archive (not a file?)");
    // A file cut before the archive begins holds no frame at all.
    size_t pending = 1;

    ZSTD_DCtx* context = ZSTD_createDCtx();
    if (context == NULL)
        return Fail("memory", "no decompression context");
    ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, KWindowLogMax);
    const size_t inSize = ZSTD_DStreamInSize();
    const size_t outSize = ZSTD_DStreamOutSize();
    char* inBuffer = malloc(inSize);
    char* outBuffer = malloc(outSize);
    if (inBuffer == NULL || outBuffer == NULL)
        return Fail("memory", "no buffers");

    int first = 1;
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, inBuffer, inSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail("input", strerror(errno));
        if (got == 0)
            break;
        if (first) {
            // A frame without a checksum could not be checked: it is no archive of ours.
            ZSTD_frameHeader header;
            if (ZSTD_getFrameHeader(&header, inBuffer, (size_t)got) != 0 ||
                header.frameType != ZSTD_frame || !header.checksumFlag)
                return Damaged("no checked zstd frame where the archive begins");
            first = 0;
        }
        ZSTD_inBuffer in = {inBuffer, (size_t)got, 0};
        while (in.pos < in.size) {
            if (pending == 0)
                return Damaged("data after the end of the archive");
            ZSTD_outBuffer out = {outBuffer, outSize, 0};
            pending = ZSTD_decompressStream(context, &out, &in);
            if (ZSTD_isError(pending))
                return Damaged(ZSTD_getErrorName(pending));
            if (WriteAll(outBuffer, out.pos) != 0)
                return Fail("output", strerror(errno));
        }
    }
    // The decoder may still hold output of a frame whose input has all been read.
    while (pending != 0) {
        ZSTD_inBuffer in = {inBuffer, 0, 0};
        ZSTD_outBuffer out = {outBuffer, outSize, 0};
        pending = ZSTD_decompressStream(context, &out, &in);
        if (ZSTD_isError(pending))
            return Damaged(ZSTD_getErrorName(pending));
        if (out.pos == 0 && pending != 0)
            return Damaged("cut short");
        if (WriteAll(outBuffer, out.pos) != 0)
            return Fail("output", strerror(errno));
    }
    ZSTD_freeDCtx(context);
    free(inBuffer);
    free(outBuffer);
    return 0;
}
