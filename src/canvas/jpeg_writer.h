#pragma once
// TJpegWriter: encodes a picture as a baseline colour JFIF file with libjpeg
// and writes it to a device.
#include <QRgb>
#include <QString>

#include <functional>

#include <stdexcept>

class QImage;
class QIODevice;

// A failure reported by the JPEG encoder: "JPEG error #<its message number>".
class EJpegError : public std::runtime_error {
public:
    explicit EJpegError(int code);
    int Code() const { return Code_; }

private:
    int Code_;
};

class TJpegWriter {
public:
    int Quality = 90;

    // Encodes the image (any format; it is taken as 24-bit colour) and writes
    // the whole file to the device. Raises EJpegError when the encoder fails
    // and std::runtime_error with the device's error text when the device
    // refuses the data.
    void Write(const QImage &image, QIODevice &device) const;

    // The largest side the format can hold.
    static constexpr int MaxSide = 65500;
    // Row y of the picture as RGB32 pixels; asked for once per row, top down.
    using TRows = std::function<const QRgb *(int y)>;
    // The same for a picture handed over a row at a time. A failure of the
    // row source reaches the caller as it was raised.
    void Write(int width, int height, const TRows &rows, QIODevice &device) const;
};
