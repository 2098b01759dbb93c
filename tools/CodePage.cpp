// Conversions between UTF-8 and the Windows code pages (see CodePage.h),
// through the C library's iconv.
#include "tools/CodePage.h"

#include <errno.h>
#include <iconv.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>

namespace {

const int codePages[] = {874,  1250, 1251, 1252, 1253, 1254, 1255,
                         1256, 1257, 1258, 932,  936,  949,  950};

std::string CharsetName(int codePage) { return "CP" + std::to_string(codePage); }

std::string Hex(unsigned value, int digits)
{
    char text[16];
    snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// Reads the code point starting at text[at] and moves at past it; false when
// the bytes there are not UTF-8 (overlong forms and surrogates included).
bool NextCodePoint(const std::string& text, size_t& at, uint32_t& codePoint)
{
    static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    uint8_t lead = static_cast<uint8_t>(text[at]);
    int extra = lead < 0x80   ? 0
                : lead < 0xC0 ? -1
                : lead < 0xE0 ? 1
                : lead < 0xF0 ? 2
                : lead < 0xF8 ? 3
                              : -1;
    if (extra < 0 || text.size() - at <= static_cast<size_t>(extra)) return false;
    uint32_t value = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (int i = 1; i <= extra; ++i) {
        uint8_t next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) return false;
        value = value << 6 | (next & 0x3F);
    }
    if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    at += extra + 1;
    codePoint = value;
    return true;
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle(iconv_open(to.c_str(), from.c_str()))
    {
    }
    ~Converter()
    {
        if (Opened()) iconv_close(handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Opened() const { return handle != reinterpret_cast<iconv_t>(-1); }

    // Converts input from offset at on, appending to output, up to its end or
    // the first sequence that cannot be converted; returns where it stopped.
    size_t Convert(const std::string& input, size_t at, std::string& output)
    {
        char* in = const_cast<char*>(input.data()) + at;
        size_t inLeft = input.size() - at;
        char buffer[256];
        for (;;) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result != static_cast<size_t>(-1) || errno != E2BIG) break;
        }
        // Some code pages hold a letter back until they see whether a
        // combining mark follows: let it out, and start afresh.
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(handle, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        return static_cast<size_t>(in - input.data());
    }

private:
    iconv_t handle;
};

// A character as messages show it: "é" (U+00E9).
std::string Character(const std::string& text, size_t start, size_t end, uint32_t codePoint)
{
    return "\"" + text.substr(start, end - start) + "\" (U+" + Hex(codePoint, 4) + ")";
}

bool IsControl(uint32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// The first character of typed that read does not give back, for a message;
// empty when read is typed.
std::string FirstChangedCharacter(const std::string& typed, const std::string& read)
{
    size_t at = 0, readAt = 0;
    uint32_t typedPoint = 0, readPoint = 0;
    while (at < typed.size()) {
        size_t start = at, readStart = readAt;
        NextCodePoint(typed, at, typedPoint);
        bool gotBack = readAt < read.size() && NextCodePoint(read, readAt, readPoint);
        if (!gotBack || readPoint != typedPoint)
            return Character(typed, start, at, typedPoint) + " as " +
                   (gotBack ? Character(read, readStart, readAt, readPoint) : "nothing");
    }
    return read.size() > readAt ? "the text with more after its end" : "";
}

}  // namespace

bool ParseCodePage(const std::string& text, int& codePage)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    codePage = std::stoi(text);
    return std::find(std::begin(codePages), std::end(codePages), codePage) != std::end(codePages);
}

bool EncodeForWindows(const char* tool, const WindowsTextField& field, const std::string& utf8,
                      int codePage, std::string& bytes, std::ostream& err)
{
    size_t characters = 0;
    uint32_t codePoint;
    for (size_t at = 0; at < utf8.size(); ++characters) {
        size_t start = at;
        if (!NextCodePoint(utf8, at, codePoint)) {
            err << tool << ": " << field.what << " is not valid UTF-8 (byte 0x"
                << Hex(static_cast<uint8_t>(utf8[start]), 2) << " at position " << start + 1
                << ")\n";
            return false;
        }
        if (field.keyName && (codePoint == '\\' || IsControl(codePoint))) {
            err << tool << ": " << field.what << " holds "
                << (codePoint == '\\' ? "a backslash" : "a control character") << " (U+"
                << Hex(codePoint, 4) << "), which no registry key name may hold\n";
            return false;
        }
    }
    if (characters > field.limit) {
        err << tool << ": " << field.what << " has " << characters << " characters; at most "
            << field.limit << " fit " << field.room << "\n";
        return false;
    }
    Converter converter(CharsetName(codePage), "UTF-8");
    if (!converter.Opened()) {
        err << tool << ": this system cannot convert to code page " << codePage << " (iconv has no "
            << CharsetName(codePage) << ")\n";
        return false;
    }
    bytes.clear();
    size_t stopped = converter.Convert(utf8, 0, bytes);
    if (stopped < utf8.size()) {
        size_t end = stopped;
        NextCodePoint(utf8, end, codePoint);
        err << tool << ": " << field.what << " holds \"" << utf8.substr(stopped, end - stopped)
            << "\" (U+" << Hex(codePoint, 4) << "), which code page " << codePage
            << " lacks; choose the code page of the Windows it is for with --codepage N\n";
        return false;
    }
    // What the viewer's ANSI calls give Windows is read back in the code page:
    // a character that comes back as another one names another key or file.
    Converter reader("UTF-8", CharsetName(codePage));
    std::string read;
    if (reader.Opened()) reader.Convert(bytes, 0, read);
    if (read != utf8) {
        err << tool << ": " << field.what << " holds " << FirstChangedCharacter(utf8, read)
            << ", which is how code page " << codePage
            << " reads it back: Windows would read another text\n";
        return false;
    }
    if (bytes.size() > field.limit) {
        err << tool << ": " << field.what << " takes " << bytes.size() << " bytes in code page "
            << codePage << " (some characters take more than one); at most " << field.limit
            << " bytes fit " << field.room << "\n";
        return false;
    }
    return true;
}

bool CheckWindowsBytes(const char* tool, const WindowsTextField& field, const std::string& bytes,
                       int codePage, std::ostream& err)
{
    Converter reader("UTF-8", CharsetName(codePage));
    std::string text;
    size_t stopped = reader.Opened() ? reader.Convert(bytes, 0, text) : 0;
    if (stopped < bytes.size()) {
        err << tool << ": " << field.what << " holds the byte 0x"
            << Hex(static_cast<uint8_t>(bytes[stopped]), 2) << ", which code page " << codePage
            << " does not define\n";
        return false;
    }
    std::string again;
    return EncodeForWindows(tool, field, text, codePage, again, err);
}

std::string DecodeFromWindows(const std::string& bytes, int codePage)
{
    Converter converter("UTF-8", CharsetName(codePage));
    std::string decoded;
    for (size_t at = 0; at < bytes.size();) {
        size_t stopped = converter.Opened() ? converter.Convert(bytes, at, decoded) : at;
        if (stopped == bytes.size()) break;
        decoded += "\\x" + Hex(static_cast<uint8_t>(bytes[stopped]), 2);
        at = stopped + 1;
    }
    std::string shown;
    for (char c : decoded) {
        uint8_t byte = static_cast<uint8_t>(c);
        shown += byte < 0x20 || byte == 0x7F ? "\\x" + Hex(byte, 2) : std::string(1, c);
    }
    return shown;
}
