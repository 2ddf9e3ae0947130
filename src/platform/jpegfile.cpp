#include "platform/jpegfile.h"

#include "platform/directories.h"

#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace platform {

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// The library's default would end the program.
[[noreturn]] void leave(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->escape, 1);
}

// Kept free of C++ objects with destructors: the library leaves it by longjmp on an error.
bool encode(const unsigned char* rgb, int width, int height, int quality, unsigned char** out,
            unsigned long* outSize, char* message)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leave;
    errors.message[0] = '\0';
    if (setjmp(errors.escape)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = std::size_t(width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb + std::size_t(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

bool writeJpegFile(const QImage& picture, const QString& path, QString* error, int quality)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return fail(QStringLiteral("The picture is empty."));
    // Tightly packed rows of three bytes per pixel, as the encoder reads them.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QByteArray packed;
    packed.resize(qsizetype(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(packed.data() + qsizetype(y) * rgb.width() * 3, rgb.constScanLine(y), std::size_t(rgb.width()) * 3);

    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = encode(reinterpret_cast<const unsigned char*>(packed.constData()), rgb.width(), rgb.height(),
                           quality, &encoded, &encodedSize, message);
    const QByteArray bytes = ok ? QByteArray(reinterpret_cast<const char*>(encoded), qsizetype(encodedSize)) : QByteArray();
    std::free(encoded);
    if (!ok)
        return fail(QString::fromLocal8Bit(message));

    const QFileInfo existing(path);
    if (existing.exists() && (!existing.isFile() || platform::nobodyMayWrite(existing)))
        return fail(QStringLiteral("The file is read-only."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QString reason = file.errorString();
        if (!reason.endsWith(u'.'))
            reason += u'.';
        return fail(reason);
    }
    return true;
}

} // namespace platform
