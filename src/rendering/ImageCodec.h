// The image codec port: decoding and encoding of image files, filled by the platform adapter
// at start-up (QtImageCodec) and by tests. The core never parses an image format itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rendering/Bitmap.h"

namespace ff {

// One installed encoder, as listed by the codec.
struct TImageEncoderInfo
{
    std::string MimeType;    // "image/png"
    std::string FormatName;  // "png"
    std::string Description; // for lists shown to the user
};

class TImageCodec
{
public:
    virtual ~TImageCodec() = default;

    // Reads only the pixel size from the header. False (and w = h = 0) when the bytes are not
    // an image the codec knows.
    virtual bool ReadSize(std::string_view bytes, int& w, int& h) = 0;
    // Decodes the first frame into 32-bit ARGB and sets bmp.HasAlpha from the stored format.
    // False (and bmp empty) on damaged bytes and for images over MaxBitmapPixels.
    virtual bool Decode(std::string_view bytes, TBitmap& bmp) = 0;
    // Number of frames (pages of a TIFF, frames of a GIF); 0 when undecodable.
    virtual int FrameCount(std::string_view bytes) = 0;
    // Decodes frame nFrame (0-based).
    virtual bool DecodeFrame(std::string_view bytes, int nFrame, TBitmap& bmp) = 0;

    // The installed encoders; an index into this list selects one for Encode.
    virtual const std::vector<TImageEncoderInfo>& Encoders() = 0;
    // Encodes the bitmap with encoder nEncoder, replacing sOut. False when it fails.
    virtual bool Encode(const TBitmap& bmp, int nEncoder, std::string& sOut) = 0;
    // Appends a page to the multi-page file held in sFileBytes (empty: starts the file with it).
    // The default encodes the page alone through Encode and, for TIFF, chains its directory
    // after the file's; other formats take a first page only. False leaves sFileBytes as it was.
    virtual bool AppendPage(std::string& sFileBytes, const TBitmap& page, int nEncoder);
};

// The process-wide codec; null until the platform installs one (every image operation then
// fails softly: size 0 x 0, nothing decoded, nothing written). Not owned.
TImageCodec* GetImageCodec();
void SetImageCodec(TImageCodec* codec);

// Joins complete single- or multi-page TIFF files into one multi-page TIFF whose pages follow
// in the given order. False when a part is not a well-formed TIFF of the same byte order or
// uses structures that cannot be relocated (sub-directories, tiles outside the part).
bool CombineTiffFiles(const std::vector<std::string>& parts, std::string& sOut);

} // namespace ff
