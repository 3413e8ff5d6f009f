#include "canvas/jpeg_writer.h"

#include "platform/picture_formats.h"

#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Throwing from there would unwind through the library's C frames, so the
// error handler jumps back to the one function that called into the library,
// and that function turns the jump into an exception once the library is left.
// Between the setjmp and any jump back to it only C calls and trivially
// destructible objects live, so the jump skips no destructor.

namespace {

[[maybe_unused]] const bool Registered =
    TPictureFormats::Register({QStringLiteral("JPG"), QStringLiteral("JPEG Image"), QStringLiteral("TJpegWriter"),
                               QStringLiteral("JPEG files"), 2});

struct TErrorManager {
    jpeg_error_mgr Base; // first, so the library's pointer is ours too
    std::jmp_buf Jump;
};

void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TErrorManager *>(info->err)->Jump, 1);
}

// Warnings (corrupt input cannot arise when encoding) are not printed.
void OutputMessage(j_common_ptr) {}

struct TDestination {
    jpeg_destination_mgr Base; // first, as above
    QIODevice *Device = nullptr;
    bool Failed = false;
    JOCTET Buffer[16384];
};

// Called from within the library: nothing may escape from here.
void Flush(TDestination &destination, std::size_t size) noexcept
{
    if (destination.Failed || size == 0)
        return;
    try {
        const auto bytes = static_cast<qint64>(size);
        if (destination.Device->write(reinterpret_cast<const char *>(destination.Buffer), bytes) != bytes)
            destination.Failed = true;
    } catch (...) {
        destination.Failed = true;
    }
}

void InitDestination(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<TDestination *>(info->dest);
    destination->Base.next_output_byte = destination->Buffer;
    destination->Base.free_in_buffer = sizeof destination->Buffer;
}

boolean EmptyOutputBuffer(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<TDestination *>(info->dest);
    // The library asks for the whole buffer to be written, whatever free_in_buffer says.
    Flush(*destination, sizeof destination->Buffer);
    InitDestination(info);
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<TDestination *>(info->dest);
    Flush(*destination, sizeof destination->Buffer - destination->Base.free_in_buffer);
}

// The rows of the picture, asked for from the top down; a failure of the
// source is kept and the compression given up.
struct TRowSource {
    const TJpegWriter::TRows *Rows = nullptr;
    std::exception_ptr Failure;

    const QRgb *Row(int y) noexcept
    {
        try {
            return (*Rows)(y);
        } catch (...) {
            Failure = std::current_exception();
            return nullptr;
        }
    }
};

// Returns false when the library gave up (its message number is then in the
// error manager) or the row source failed.
bool Compress(jpeg_compress_struct &info, TErrorManager &errors, TDestination &destination, int width, int height,
              TRowSource &source, JSAMPLE *row, int quality)
{
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_compress(&info);
    info.dest = &destination.Base;
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const QRgb *pixels = source.Row(static_cast<int>(info.next_scanline));
        if (!pixels)
            return false;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<JSAMPLE>(qRed(pixels[x]));
            row[3 * x + 1] = static_cast<JSAMPLE>(qGreen(pixels[x]));
            row[3 * x + 2] = static_cast<JSAMPLE>(qBlue(pixels[x]));
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

EJpegError::EJpegError(int code)
    : std::runtime_error("JPEG error #" + std::to_string(code)), Code_(code)
{
}

void TJpegWriter::Write(const QImage &image, QIODevice &device) const
{
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    Write(rgb.width(), rgb.height(),
          [&](int y) { return reinterpret_cast<const QRgb *>(rgb.constScanLine(y)); }, device);
}

void TJpegWriter::Write(int width, int height, const TRows &rows, QIODevice &device) const
{
    std::vector<JSAMPLE> row(static_cast<std::size_t>(std::max(width, 1)) * 3);
    auto destination = std::make_unique<TDestination>();
    destination->Device = &device;
    destination->Base.init_destination = InitDestination;
    destination->Base.empty_output_buffer = EmptyOutputBuffer;
    destination->Base.term_destination = TermDestination;

    jpeg_compress_struct info{};
    TErrorManager errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.output_message = OutputMessage;

    TRowSource source{&rows, nullptr};
    const bool done = Compress(info, errors, *destination, width, height, source, row.data(), Quality);
    const int code = errors.Base.msg_code;
    jpeg_destroy_compress(&info);
    if (source.Failure)
        std::rethrow_exception(source.Failure);
    if (!done)
        throw EJpegError(code);
    if (destination->Failed)
        throw std::runtime_error(device.errorString().toStdString());
}
