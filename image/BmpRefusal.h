// Why dib24::ReadBmp refused a file: one value per distinct reason. The
// program itself only asks whether a file loaded; the reason is for tests and
// for callers that want to know.
#pragma once

enum class BmpRefusal {
  kNone,                 // not refused: the file was read
  kNoStream,             // a null stream
  kTruncatedFileHeader,  // the stream ends inside the 14-byte file header
  kNotBmp,               // the file does not start with "BM"
  // The pixel offset leaves less room than a 40-byte info header, or than the
  // longer one the file declares. A 24-bit OS/2 file, pixels right after its
  // 12-byte header, is refused here.
  kNoRoomForInfoHeader,
  kNoMemory,             // a buffer for the headers or the pixels could not be allocated
  kTruncatedHeader,      // the stream ends before the pixel offset
  kUnsupportedHeader,    // an info header shorter than 40 bytes (the OS/2 core header)
  kCompressed,           // run-length, bit fields or any other compression
  kUnsupportedDepth,     // bits per pixel other than 1, 4, 8 and 24
  kBadSize,              // a negative width, or a height of INT32_MIN, which has no upright counterpart
  kTooLarge,             // the 24-bit image would hold more bytes than an int counts
  kNoRoomForPalette,     // an indexed file whose pixel offset leaves room for no palette entry
  kInfoHeaderTooLong,    // an info header so long that the palette after it lies beyond the 64 kB kept
  kTruncatedPixels,      // the stream ends before the last pixel row
  kNoDibSection,         // the image's DIB section could not be made (memory or GDI objects)
};
