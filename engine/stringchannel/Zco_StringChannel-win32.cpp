// The string channel's storage: an ANSI and a wide copy of the text, always
// kept equal. Memory comes from malloc and failures leave the old text in
// place, so nothing here can throw across the library's boundary.
#include "Zco_StringChannel.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

const char emptyText[] = "";
const wchar_t emptyWideText[] = L"";

// A text's length, at most limit when limit is positive.
size_t CutLength(size_t length, int limit)
{
    return limit > 0 && length > static_cast<size_t>(limit) ? static_cast<size_t>(limit) : length;
}

template <typename Char>
Char* CopyOf(const Char* text, size_t length)
{
    Char* copy = static_cast<Char*>(malloc((length + 1) * sizeof(Char)));
    if (!copy) return nullptr;
    memcpy(copy, text, length * sizeof(Char));
    copy[length] = 0;
    return copy;
}

wchar_t* WideCopyOf(const char* text)
{
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0) return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(malloc(units * sizeof(wchar_t)));
    if (copy) MultiByteToWideChar(CP_ACP, 0, text, -1, copy, units);
    return copy;
}

char* AnsiCopyOf(const wchar_t* text)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return nullptr;
    char* copy = static_cast<char*>(malloc(bytes));
    if (copy) WideCharToMultiByte(CP_ACP, 0, text, -1, copy, bytes, nullptr, nullptr);
    return copy;
}

}  // namespace

Zco_StringChannel::Zco_StringChannel()
    : text(nullptr),
      wideText(nullptr),
      singleLine(false),
      maxCharacters(0),
      useWideText(false),
      lastRect{},
      textStamp(0)
{
}

Zco_StringChannel::Zco_StringChannel(const Zco_StringChannel& other)
    : Zel_Channel(other),
      text(nullptr),
      wideText(nullptr),
      singleLine(other.singleLine),
      maxCharacters(other.maxCharacters),
      useWideText(other.useWideText),
      lastRect(other.lastRect),
      textStamp(other.textStamp)
{
    CopyTextOf(other);
}

Zco_StringChannel& Zco_StringChannel::operator=(const Zco_StringChannel& other)
{
    if (this == &other) return *this;
    Zel_Channel::operator=(other);
    singleLine = other.singleLine;
    maxCharacters = other.maxCharacters;
    useWideText = other.useWideText;
    lastRect = other.lastRect;
    textStamp = other.textStamp;
    CopyTextOf(other);
    return *this;
}

Zco_StringChannel::~Zco_StringChannel()
{
    free(text);
    free(wideText);
}

bool Zco_StringChannel::Adopt(char* newText, wchar_t* newWideText)
{
    if (!newText || !newWideText) {
        free(newText);
        free(newWideText);
        return false;
    }
    free(text);
    free(wideText);
    text = newText;
    wideText = newWideText;
    return true;
}

void Zco_StringChannel::CopyTextOf(const Zco_StringChannel& other)
{
    const char* otherText = other.text ? other.text : emptyText;
    const wchar_t* otherWide = other.wideText ? other.wideText : emptyWideText;
    Adopt(CopyOf(otherText, strlen(otherText)), CopyOf(otherWide, wcslen(otherWide)));
}

void Zco_StringChannel::StoreText(char* newText, wchar_t* newWideText)
{
    // The stored text is read directly: GetString is virtual, and a derived
    // channel's GetString may itself store a new text.
    bool changed = newText && strcmp(text ? text : emptyText, newText) != 0;
    if (Adopt(newText, newWideText) && changed) {
        SetTimeStamp();
        textStamp = Zel_Channel::GetTimeStamp();
    }
}

bool Zco_StringChannel::SaveChannel(ZelFileSaver& saver)
{
    const char* current = text ? text : emptyText;
    uint32_t length = static_cast<uint32_t>(strlen(current));
    uint8_t singleLineByte = singleLine ? 1 : 0;
    int32_t limit = maxCharacters;
    return saver.Write(&length, sizeof length) && saver.Write(current, length) &&
           saver.Write(&singleLineByte, sizeof singleLineByte) && saver.Write(&limit, sizeof limit);
}

bool Zco_StringChannel::LoadChannel(ZelFileLoader& loader, Zel_ChannelGroup*)
{
    uint32_t length = 0;
    if (!loader.Read(&length, sizeof length) || length > maxLoadedText) return false;
    char* loaded = static_cast<char*>(malloc(length + 1));
    if (!loaded) return false;
    uint8_t singleLineByte = 0;
    int32_t limit = 0;
    if (!loader.Read(loaded, length) || !loader.Read(&singleLineByte, sizeof singleLineByte) ||
        !loader.Read(&limit, sizeof limit)) {
        free(loaded);
        return false;
    }
    loaded[length] = '\0';
    singleLine = singleLineByte != 0;
    maxCharacters = 0;  // the saved text is stored whole; the limit applies afterwards
    Zco_StringChannel::SetString(loaded);
    maxCharacters = limit;
    free(loaded);
    return true;
}

unsigned long Zco_StringChannel::GetTimeStamp() { return textStamp; }

const char* Zco_StringChannel::GetString() { return text ? text : emptyText; }

void Zco_StringChannel::SetString(const char* newText)
{
    if (!newText) newText = emptyText;
    char* narrow = CopyOf(newText, CutLength(strlen(newText), maxCharacters));
    StoreText(narrow, narrow ? WideCopyOf(narrow) : nullptr);
}

void Zco_StringChannel::SetSingeLine(bool value) { singleLine = value; }

bool Zco_StringChannel::GetSingeLine() { return singleLine; }

void Zco_StringChannel::SetMaxCars(int value) { maxCharacters = value; }

void Zco_StringChannel::SetIfUseWChar(bool value) { useWideText = value; }

bool Zco_StringChannel::GetIfUseWChar() { return useWideText; }

const wchar_t* Zco_StringChannel::GetWString() { return wideText ? wideText : emptyWideText; }

void Zco_StringChannel::SetWString(const wchar_t* newText)
{
    if (!newText) newText = emptyWideText;
    wchar_t* wide = CopyOf(newText, CutLength(wcslen(newText), maxCharacters));
    StoreText(wide ? AnsiCopyOf(wide) : nullptr, wide);
}

void Zco_StringChannel::AS2WS(wchar_t* destination, const char* source)
{
    if (!destination) return;
    if (!source) source = emptyText;
    int units = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
    if (units <= 0 || MultiByteToWideChar(CP_ACP, 0, source, -1, destination, units) <= 0)
        destination[0] = 0;
}

void Zco_StringChannel::WS2AS(char* destination, const wchar_t* source)
{
    if (!destination) return;
    if (!source) source = emptyWideText;
    int bytes = WideCharToMultiByte(CP_ACP, 0, source, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 ||
        WideCharToMultiByte(CP_ACP, 0, source, -1, destination, bytes, nullptr, nullptr) <= 0)
        destination[0] = '\0';
}

RECT Zco_StringChannel::GetLastRect() { return lastRect; }

void Zco_StringChannel::SetLastRect(RECT rect) { lastRect = rect; }
