#pragma once
// A clone file: a radio's clone memory kept on disk as a text file of
// hexadecimal address records.
//
//   71430000              model code and sub code, four hexadecimal digits each
//   #Comment=...          free text, never read back (cut to fit one line)
//   #MapRev=1             memory-map revision
//   #AdrBit=32            address width in bits: 16, 24 or 32
//   0000012310...         address (4, 6 or 8 digits), byte count, bytes
//
// A record holds at most 16 bytes and never crosses a 16-byte boundary. Files
// are written with "\n" line ends; "\r\n" and "\n" are both read. Saving
// replaces the file only when the whole new file was written; loading leaves
// the image exactly as it was unless the whole file was accepted.
#include "core/cmcCloneRange.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class cmcEeprom;

// Error codes of the clone file; each has a message (ShowFileError).
enum IcfFileError {
    kIcfOk = 0,
    kIcfFileOpen = 1,  // the file cannot be opened or created
    kIcfFileAccess = 2,  // writing failed
    kIcfModel = 3,       // the model code differs
    kIcfExtra = 4,       // the sub code differs
    kIcfMapRev = 5,      // no MapRev check is set, or it refused the MapRev
    kIcfFormat = 6,      // a malformed first line, AdrBit line or data line
    kIcfCoverage = 7,    // bytes of the ranges are missing
    kIcfData = 8,        // a record outside the image, or data outside the ranges
    kIcfNewer = 9,       // the file is newer than the program (raised by the document)
};

// Must accept the memory-map revision before the first data line is used.
struct IcfMapRevCheck {
    std::function<bool(void* owner, int mapRev)> Function;
    void* Owner = nullptr;
    explicit operator bool() const { return static_cast<bool>(Function); }
};

// Replaces the plain comparison of the model and sub code of line 1; on false
// it stores the error code of the refusal.
struct IcfHeaderCheck {
    std::function<bool(void* owner, int modelCode, int subCode, int* error)> Function;
    void* Owner = nullptr;
    explicit operator bool() const { return static_cast<bool>(Function); }
};

class cmcIcfFile {
public:
    static constexpr int DefaultBytesPerRecord = 16;
    // Lines are read with at most this many characters, newline included;
    // the rest of a longer line is read as the next line.
    static constexpr int LineLimit = 767;

    cmcIcfFile() = default;
    ~cmcIcfFile() = default;
    cmcIcfFile(const cmcIcfFile&) = delete;
    cmcIcfFile& operator=(const cmcIcfFile&) = delete;

    // Attaches the image (not owned) and allocates both coverage bitmaps: the
    // loaded one clear, the required one set for the whole image.
    void SetImage(cmcEeprom* image);
    void AllocCoverage();

    void SetModelCode(int code) { m_modelCode = code; }
    void SetSubCode(int code) { m_subCode = code; }
    void SetComment(const std::string& comment) { m_comment = comment; }
    void SetMapRev(int mapRev) { m_mapRev = mapRev; }
    void SetAdrBit(int adrBit) { m_adrBit = adrBit; }
    void SetMapRevCheck(IcfMapRevCheck check) { m_mapRevCheck = std::move(check); }
    void SetHeaderCheck(IcfHeaderCheck check) { m_headerCheck = std::move(check); }
    // The coverage check may be satisfied by the first n image bytes.
    void SetCompareSize(int n) { m_compareLength = (n + 7) / 8; }

    int GetMapRev() const { return m_mapRev; }
    int GetAdrBit() const { return m_adrBit; }
    int ModelCode() const { return m_modelCode; }
    int SubCode() const { return m_subCode; }
    const std::string& Comment() const { return m_comment; }

    // Writes the ranges of the image (the list ends at its terminator).
    // Returns kIcfOk, kIcfFileOpen (the file cannot be created) or
    // kIcfFileAccess (a write failed, or a range lies outside the image); on
    // failure the previous file is untouched. A failure is shown.
    int Save(const std::string& fileName, const dst_AdrRange* ranges);
    // Reads a file into the image; with ranges, every byte of them must be
    // loaded and nothing outside them. Returns an error code 0 to 8; on
    // failure the image is restored. A failure is shown.
    int Load(const std::string& fileName, const dst_AdrRange* ranges);

    // Inner steps.
    // Parses one data line (without its newline) and stores its bytes.
    int ParseRecord(std::string_view line);
    void MarkRequired(const dst_AdrRange* ranges);
    // Sets or clears count bits from the first; nothing when the last bit
    // would lie past the bitmap.
    void SetBits(std::vector<uint8_t>& bitmap, int64_t first, int64_t count, bool set);
    void ClearLoaded();
    int CheckCoverage(const dst_AdrRange* ranges);

    const std::vector<uint8_t>& LoadedBitmap() const { return m_loaded; }
    const std::vector<uint8_t>& RequiredBitmap() const { return m_required; }

private:
    int AddressDigits() const;
    // The text of a whole file (kIcfFileAccess when a range lies outside the
    // image).
    int Format(const dst_AdrRange* ranges, std::string& text) const;
    // Reads the lines of a file's text into the image.
    int ParseLines(std::string_view text, const dst_AdrRange* ranges);

    cmcEeprom* m_image = nullptr;
    int m_modelCode = 0;
    int m_subCode = 0;
    std::string m_comment;
    int m_bytesPerRecord = DefaultBytesPerRecord;
    int m_mapRev = -1;
    int m_adrBit = 16;
    std::vector<uint8_t> m_required;
    std::vector<uint8_t> m_loaded;
    int m_bitmapSize = 0;
    int m_compareLength = 0;
    IcfMapRevCheck m_mapRevCheck;
    IcfHeaderCheck m_headerCheck;
};

// Shows the message of an error code 1 to 9 (nothing for any other value): the
// headline and the code's text from the language overlay, with a warning
// icon and the program's title as caption.
void ShowFileError(int code);
