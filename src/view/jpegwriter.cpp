#include "jpegwriter.h"

#include <QFile>
#include <QFileInfo>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace orlex {

TRgbImage::TRgbImage(int width, int height) {
    if (width <= 0 || height <= 0) return;
    Width = width;
    Height = height;
    Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
}

TRgbImage ScaleNearest(const TRgbImage& src, int width, int height) {
    if (!src.IsValid() || width <= 0 || height <= 0) return TRgbImage();
    if (static_cast<int64_t>(width) * height > kShotMaxPixels) return TRgbImage();
    TRgbImage out(width, height);
    if (width == src.Width && height == src.Height) {
        out.Pixels = src.Pixels;
        return out;
    }
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        columns[static_cast<size_t>(x)] =
            static_cast<int>(static_cast<int64_t>(x) * src.Width / width);
    }
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * src.Height / height);
        uint8_t* dst = out.Pixel(0, y);
        for (int x = 0; x < width; ++x) {
            std::memcpy(dst + static_cast<size_t>(x) * 3,
                        src.Pixel(columns[static_cast<size_t>(x)], sy), 3);
        }
    }
    return out;
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return;
// we jump back to the encoder with the library's message.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr) {}  // warnings are not shown

// Plain C-style body: no objects with destructors live across setjmp.
bool EncodeRaw(const TRgbImage* image, unsigned char** buffer, unsigned long* size, char* message) {
    jpeg_compress_struct cinfo;
    TJpegError err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = OnJpegError;
    err.Manager.output_message = OnJpegMessage;
    err.Message[0] = '\0';
    if (setjmp(err.Jump)) {
        std::strncpy(message, err.Message, JMSG_LENGTH_MAX - 1);
        message[JMSG_LENGTH_MAX - 1] = '\0';
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(image->Width);
    cinfo.image_height = static_cast<JDIMENSION>(image->Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kShotJpegQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = static_cast<size_t>(image->Width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image->Pixels.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool EncodeJpeg(const TRgbImage& image, std::vector<uint8_t>* out, QString* errorText) {
    auto fail = [&](const QString& why) {
        if (errorText) *errorText = why;
        return false;
    };
    if (!image.IsValid()) return fail(QStringLiteral("The picture is empty."));
    if (image.Width > kShotMaxSide || image.Height > kShotMaxSide ||
        static_cast<int64_t>(image.Width) * image.Height > kShotMaxPixels) {
        return fail(QStringLiteral("The picture is too large (%1 x %2 pixels).")
                        .arg(image.Width)
                        .arg(image.Height));
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = EncodeRaw(&image, &buffer, &size, message);
    if (ok && buffer) out->assign(buffer, buffer + size);
    std::free(buffer);  // jpeg_mem_dest allocates with malloc
    if (!ok)
        return fail(
            QStringLiteral("JPEG encoding failed: %1").arg(QString::fromLocal8Bit(message)));
    return true;
}

namespace {

// Removes what a failed write left behind; only plain files, never devices.
void RemovePartial(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.isFile() && !info.isSymLink()) QFile::remove(fileName);
}

}  // namespace

bool WriteJpegFile(const QString& fileName, const TRgbImage& image, QString* errorText) {
    auto fail = [&](const QString& why) {
        if (errorText) *errorText = why;
        return false;
    };
    if (fileName.isEmpty()) return fail(QStringLiteral("No file name was given."));
    std::vector<uint8_t> data;
    if (!EncodeJpeg(image, &data, errorText)) return false;
    if (QFileInfo(fileName).isDir()) return fail(QStringLiteral("The name is a directory."));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return fail(QStringLiteral("Cannot open the file: %1").arg(file.errorString()));
    }
    const qint64 written =
        file.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
    const bool flushed = written == static_cast<qint64>(data.size()) && file.flush();
    if (!flushed) {
        const QString why = file.errorString();
        file.close();
        RemovePartial(fileName);
        return fail(QStringLiteral("Cannot write the file (is the disk full?): %1").arg(why));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        RemovePartial(fileName);
        return fail(QStringLiteral("Cannot write the file (is the disk full?): %1").arg(why));
    }
    return true;
}

}  // namespace orlex
