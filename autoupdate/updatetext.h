#pragma once

// Text helpers of the updater: query values, version and size texts, the
// reading of the update script's replies. Portable (no windows.h).

#include <cstdint>
#include <string>

namespace autoupdate
{

// Query values travel as given except for the bytes that would change the
// query's meaning or are not plain ASCII: blanks, '&', '#', '%', '+', control
// bytes and bytes above 127 become %XX. "?.?.?.?" stays as it is.
std::string percentEncodeQueryValue(const std::string &value);

// The update script's base address: the text before the first blank.
std::string baseAddress(const std::string &url);

// "a.b.c.d" from the fixed version words, most significant 16 bits first.
std::string versionText(uint32_t mostSignificant, uint32_t leastSignificant);
// What is sent when the host program has no version resource.
extern const char kUnknownVersion[];

// base?ProgVers=...&ProgVersName=...&LC=... with the values percent-encoded.
std::string queryAddress(const std::string &updateUrl, const std::string &version,
                         const std::string &versionName, const std::string &language);

// "N KBytes" with N = bytes / 1024.
std::string kbytesText(int32_t bytes);
// "<product> Version <version> (N KBytes)".
std::string offerText(const std::string &productName, const std::string &versionReply, int32_t size);
// "P KBytes / T KBytes" for the progress of a transfer.
std::string progressText(int32_t position, int32_t upperBound);

// The leading decimal integer of a text as the C library reads it (blanks
// and a sign allowed); 0 when the text does not start with a number.
int32_t leadingInteger(const std::string &text);
// A status text read as a decimal integer; false when it holds none.
bool parseStatusCode(const std::string &text, int32_t &code);
// 200 to 203 count as success.
bool isSuccessStatus(int32_t code);

// Every "&" doubled, so that a static text shows it literally.
std::string doubleAmpersands(const std::string &text);
std::string replaceAll(std::string text, const std::string &from, const std::string &to);
// The lines of a reply joined without their line ends.
std::string joinLines(const std::string &text);
// The first "%s" (or "% s") of a message pattern replaced by the path.
std::string fillPath(const std::string &pattern, const std::string &path);

// Drive and folder of a Windows path (up to and with its last separator).
std::string folderOf(const std::string &path);
// The same path with its extension replaced by "ini" (added when it has none).
std::string iniPathBeside(const std::string &path);

// The text shown for the data to be sent: the file read in text mode in
// pieces of at most 259 characters, each piece followed by CR LF, the last
// (empty) read at the end of the file too. Empty when the file cannot be read.
std::string readTransferNotice(const std::string &path);

} // namespace autoupdate
