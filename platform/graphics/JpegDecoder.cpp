#include "platform/graphics/PictureDecoderParts.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <memory>
#include <vector>

namespace velmora::picture {
namespace {

// Everything the decoder touches after setjmp lives here, in memory owned by the caller, so
// a jump back never leaves a local in an undefined state and every destructor still runs.
struct TJpegContext {
    jpeg_decompress_struct Info{};
    jpeg_error_mgr Errors{};
    jpeg_progress_mgr Progress{};
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX]{};
    const TDecodeLimits* Limits = nullptr;
    QString Error;
    QImage Frame;
    std::vector<JSAMPLE> Row;
};

TJpegContext* ContextOf(j_common_ptr info) {
    return static_cast<TJpegContext*>(info->client_data);
}

[[noreturn]] void Fail(j_common_ptr info) {
    TJpegContext* context = ContextOf(info);
    (*info->err->format_message)(info, context->Message);
    std::longjmp(context->Jump, 1);
}

// A warning means the data is damaged (a truncated or corrupt stream); a skin picture that
// decodes only with warnings is rejected rather than shown half grey.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0)
        Fail(info);
}

void OnProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    TJpegContext* context = ContextOf(info);
    if (decompress->input_scan_number > context->Limits->MaxJpegScans) {
        std::snprintf(context->Message, sizeof context->Message, "more than %d scans",
                      context->Limits->MaxJpegScans);
        std::longjmp(context->Jump, 1);
    }
}

void StoreCmykRow(const TJpegContext& context, QRgb* target, int width) {
    // Files written with an Adobe marker store CMYK inverted.
    const bool inverted = context.Info.saw_Adobe_marker;
    for (int x = 0; x < width; ++x) {
        const JSAMPLE* p = &context.Row[static_cast<size_t>(x) * 4];
        int c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        target[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

bool Run(TJpegContext* context, QByteArrayView data) {
    if (setjmp(context->Jump) != 0) {
        context->Error = QStringLiteral("JPEG: %1").arg(QString::fromLatin1(context->Message));
        return false;
    }
    jpeg_decompress_struct& info = context->Info;
    // Creation keeps the error manager and client data set by the caller.
    jpeg_create_decompress(&info);
    info.progress = &context->Progress;
    info.mem->max_memory_to_use = static_cast<long>(context->Limits->MaxBytes);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    context->Error = CheckDimensions(info.image_width, info.image_height, 1, *context->Limits);
    if (!context->Error.isEmpty())
        return false;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
#else
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_ARGB;
#endif
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    context->Frame = NewFrame(width, height);
    if (context->Frame.isNull()) {
        context->Error = QStringLiteral("JPEG: out of memory");
        return false;
    }
    if (cmyk)
        context->Row.resize(static_cast<size_t>(width) * 4);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = cmyk ? context->Row.data() : context->Frame.scanLine(y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            context->Error = QStringLiteral("JPEG: stream ended early");
            return false;
        }
        if (cmyk)
            StoreCmykRow(*context, reinterpret_cast<QRgb*>(context->Frame.scanLine(y)), width);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

void DecodeJpeg(QByteArrayView data, const TDecodeLimits& limits, TDecodedPicture& out) {
    auto context = std::make_unique<TJpegContext>();
    context->Limits = &limits;
    context->Info.err = jpeg_std_error(&context->Errors);
    context->Errors.error_exit = [](j_common_ptr info) { Fail(info); };
    context->Errors.emit_message = OnMessage;
    context->Info.client_data = context.get();
    context->Progress.progress_monitor = OnProgress;
    const bool ok = Run(context.get(), data);
    if (context->Info.mem != nullptr)
        jpeg_destroy_decompress(&context->Info);
    if (!ok) {
        out.Error = context->Error;
        return;
    }
    out.Width = context->Frame.width();
    out.Height = context->Frame.height();
    out.Frames.push_back(std::move(context->Frame));
    out.DelaysMs.push_back(0);
}

} // namespace velmora::picture
