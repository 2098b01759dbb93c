// Text between the tools' command lines (UTF-8) and the Windows ANSI code
// page the viewer and the engine read their names and paths in.
#pragma once

#include <stddef.h>

#include <ostream>
#include <string>

const int defaultCodePage = 1252;
// The code pages accepted, for messages and usage texts.
const char* const supportedCodePages = "874, 1250 to 1258, 932, 936, 949 or 950";

// The code page that text names: one of supportedCodePages. False for
// anything else.
bool ParseCodePage(const std::string& text, int& codePage);

// A text a tool writes for Windows: what it is in messages, and how many
// bytes of it the reader can use.
struct WindowsTextField {
    const char* what;  // e.g. "the project name"
    size_t limit;
    const char* room;  // where the limit comes from, e.g. "in the viewer's registry key path"
    bool keyName;      // a registry key's name: no backslash, no control character
};

// Converts utf8 into bytes of codePage for field. False after a message on
// err, starting with tool, that says why: not UTF-8, a backslash or control
// character in a key name, too long (counted in characters, or in bytes where
// the code page takes more than one for some), a character the code page
// lacks (named, with a hint at --codepage) or reads back as another one
// (Windows would then read another text), or no converter for the code page
// on this system.
bool EncodeForWindows(const char* tool, const WindowsTextField& field, const std::string& utf8,
                      int codePage, std::string& bytes, std::ostream& err);

// Checks bytes as a reader in codePage gets them: false after a message on
// err, starting with tool, where EncodeForWindows would not have written them
// (a byte the code page does not define included).
bool CheckWindowsBytes(const char* tool, const WindowsTextField& field, const std::string& bytes,
                       int codePage, std::ostream& err);

// The UTF-8 text of bytes in codePage; a byte the code page does not define,
// and a control character, shows as \xNN.
std::string DecodeFromWindows(const std::string& bytes, int codePage);
