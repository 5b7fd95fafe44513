// The BMP reader and writer behind Image::Decode and Image::Encode.
#pragma once

class Image;
class MemFile;

class BmpCodec {
public:
    // Reads one bitmap, with or without the 14-byte file header, from the
    // file's position into image (a fresh image). On failure the reason is
    // image's last error and the result is false.
    static bool Decode(MemFile& file, Image& image);
    // Writes image as a BMP file. Returns null on success, else the reason.
    static const char* Encode(MemFile& file, const Image& image);
};
