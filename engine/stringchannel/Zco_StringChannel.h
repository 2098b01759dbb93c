// The string channel: an engine channel whose value is a text, kept both as
// ANSI and as 16-bit wide text. It stores its own copy of every text it is
// given. Exported whole from 9C2D4E81-5F36-4A7B-8E19-D0B3F6A2C457.dll.
#pragma once

#include <windows.h>

#include "engine/channels/Zel_Channel.h"

#ifdef stringchannel_EXPORTS
#define STRINGCHANNEL_API __declspec(dllexport)
#else
#define STRINGCHANNEL_API __declspec(dllimport)
#endif

// The string channel's type; its library carries this name.
constexpr GUID stringChannelType = {
    0x9C2D4E81, 0x5F36, 0x4A7B, {0x8E, 0x19, 0xD0, 0xB3, 0xF6, 0xA2, 0xC4, 0x57}};

class STRINGCHANNEL_API Zco_StringChannel : public Zel_Channel {
public:
    // Starts with the empty text, multi-line, no length limit, ANSI.
    Zco_StringChannel();
    Zco_StringChannel(const Zco_StringChannel& other);
    Zco_StringChannel& operator=(const Zco_StringChannel& other);
    ~Zco_StringChannel() override;

    // Saved form: text length (32-bit), the ANSI text without terminator,
    // the single-line flag (one byte), the character limit (32-bit).
    bool SaveChannel(ZelFileSaver& saver) override;
    // Reads the saved form; false, with the channel unchanged, when the data
    // ends early, is longer than maxLoadedText or memory runs out.
    bool LoadChannel(ZelFileLoader& loader, Zel_ChannelGroup* group) override;
    // The change stamp of the text: it moves only when the text changes.
    unsigned long GetTimeStamp() override;

    // Operations 14 to 26 of the table, in their fixed order.
    // The stored text; never null.
    virtual const char* GetString();
    // Stores a copy of text (null counts as empty), cut to the character
    // limit when one is set. Keeps the old text if memory runs out.
    virtual void SetString(const char* text);
    virtual void SetSingeLine(bool singleLine);
    virtual bool GetSingeLine();
    // Limit on the characters stored by later texts; 0 or less: none.
    virtual void SetMaxCars(int maxCharacters);
    virtual void SetIfUseWChar(bool useWideText);
    virtual bool GetIfUseWChar();
    // The stored text as wide text; never null.
    virtual const wchar_t* GetWString();
    // Stores a copy of a wide text, as SetString does for ANSI text.
    virtual void SetWString(const wchar_t* text);
    // Converts with the ANSI code page; destination must hold the whole
    // converted text with its terminator. A null source gives the empty text.
    virtual void AS2WS(wchar_t* destination, const char* source);
    virtual void WS2AS(char* destination, const wchar_t* source);
    // Where the engine last drew the text.
    virtual RECT GetLastRect();
    virtual void SetLastRect(RECT rect);

    static constexpr unsigned long maxLoadedText = 1u << 20;

private:
    // Takes ownership of both copies and frees the ones held before; when
    // either is null (no memory) frees both and keeps the old text.
    bool Adopt(char* newText, wchar_t* newWideText);
    void CopyTextOf(const Zco_StringChannel& other);
    // Adopt, and a new text stamp when the text differs from the old one.
    void StoreText(char* newText, wchar_t* newWideText);

    char* text;
    wchar_t* wideText;
    bool singleLine;
    int maxCharacters;
    bool useWideText;
    RECT lastRect;
    unsigned long textStamp;
};
