// Image files as stored bytes: size query, decoding, encoding by file extension, multi-page
// TIFF, resizing, thumbnails, masks and blur. Drawing of stored images is done by
// TKELDGraphics (KELDGraphicsBitmaps.cpp) on top of these.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/ByteStream.h"
#include "rendering/Bitmap.h"
#include "rendering/GraphicsDevice.h"
#include "rendering/ImageCodec.h"

namespace ff {

class TIntegerMatrix;

// Pixel size of a stored image; 0 x 0 when it cannot be decoded. The stream's position is left
// where it was.
void GetBitmapSizeFromStream(TStream& bmpStr, int& w, int& h);
void GetBitmapSizeFromBytes(std::string_view bytes, int& w, int& h);

// "image/jpeg" for .jpg/.jpeg, "image/png" for .png, "image/tiff" for .tif/.tiff (any case),
// "image/bmp" for every other extension or none.
std::string MimeTypeForFile(const std::string& sName);
// Index of the last installed encoder whose mime type equals sMime exactly, or -1. When found
// and pEncoder is given, it receives the encoder's description.
int FindImageEncoder(const std::string& sMime, TImageEncoderInfo* pEncoder = nullptr);

// The whole content of a stream from its start (the position is left where it was). For a
// memory stream this is a view of its bytes; otherwise `holder` receives a copy.
std::string_view StreamContent(TStream& str, std::string& holder);

// Decoding. A missing file or undecodable bytes give no bitmap. Transparent areas become
// black and the result is opaque, as a device bitmap without alpha would show it.
std::unique_ptr<TBitmap> LoadBitmap(const std::string& sFile);
std::unique_ptr<TBitmap> LoadBitmapFromStream(TStream& bmpStr);
// Appends the file's bytes to str; false (nothing appended) when the file cannot be read.
bool LoadBitmapToStream(const std::string& sFile, TStream& str);

// Encoding, with the encoder chosen from the file name's extension. The files are written
// through a temporary file, so a failure leaves an existing file as it was. False when there
// is no encoder, the bytes cannot be decoded or the file cannot be written.
bool SaveBitmap(const TBitmap& bmp, const std::string& sFile);
bool SaveBitmapStream(TStream& m, const std::string& sFile);
// Encodes into mOut (its content is replaced); sFile only names the format.
bool SaveBitmapToStream(const TBitmap& bmp, TMemoryStream& mOut, const std::string& sFile);

// A multi-page TIFF file being written. Each page is written at once, so the file on disk is
// always complete with the pages so far; Close ends the writing.
class TTiffPageWriter
{
public:
    TTiffPageWriter(std::string sFile, int nEncoder) : FFile(std::move(sFile)), FEncoder(nEncoder)
    {
    }
    // False (file and writer as before) when the page cannot be encoded or written, or after
    // Close.
    bool AddPage(const TBitmap& page);
    bool Close();
    int PageCount() const { return FPages; }
    bool IsClosed() const { return FClosed; }
    const std::string& FileName() const { return FFile; }

private:
    std::string FFile;
    int FEncoder = -1;
    std::string FBytes; // the file's content so far
    int FPages = 0;
    bool FClosed = false;
};

// Starts the file with its first page; null when there is no encoder for sFile's extension or
// the page cannot be written.
std::unique_ptr<TTiffPageWriter> SaveTiffFirstPage(const TBitmap& NewPage,
                                                   const std::string& sFile);
bool SaveTiffAddPage(TTiffPageWriter& ExistingGPBitmap, const TBitmap& NewPage);
bool SaveTiffClose(TTiffPageWriter& ExistingGPBitmap);

// Re-encodes mIn at width w (height in proportion) with bicubic interpolation into mOut, whose
// content is replaced, in the format of sFile's extension ("a.png" when empty). False, and
// mOut untouched, when mIn cannot be decoded, its width is not positive or w is not positive.
bool ResizeBitmap(TStream& mIn, TMemoryStream& mOut, int w, const std::string& sFile);

// Bicubic resampling of a whole bitmap to w x h (alpha-weighted, clamped at the edges).
TBitmap ResizeBicubic(const TBitmap& src, int w, int h);

// An nWidth x nWidth bitmap with the image fitted and centred in it; the rest is transparent.
// With bTransparent the colour of the image's top-left pixel is keyed out. Null when the
// bytes cannot be decoded or nWidth is not positive.
std::unique_ptr<TBitmap> CreateThumbnailFromStream(TStream& s, int nWidth, bool bTransparent);
// Placement of a w x h image in an n x n thumbnail.
TRect ThumbnailRect(int w, int h, int n);

// PNG bytes of bmp's pixels, opaque where the matrix holds a non-zero value and transparent
// white elsewhere (cells outside the matrix count as zero). Null when encoding fails.
std::unique_ptr<TMemoryStream> CreatePNGStreamFromBitmapMask(const TBitmap& bmp,
                                                             const TIntegerMatrix& m);

// Every pixel through the colour matrix (the same arithmetic as TColorMatrix::Apply, table
// driven).
void ApplyColorMatrix(TBitmap& bmp, const TColorMatrix& m);

// Separable Gaussian blur in place, radius clamped to 100; pixels closer than the radius to an
// edge keep their values.
void GaussianBlur(TBitmap& gbmp, int radius);

// Milliseconds since creation, for diagnostics.
class TProfiler
{
public:
    TProfiler();
    double CurrentStamp() const;

private:
    long long FStart;
};

// Total milliseconds spent in image drawing since start, for diagnostics.
extern double BitmapDrawTimeTotal;

} // namespace ff
