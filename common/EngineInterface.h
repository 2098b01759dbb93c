// What the viewer requires of the outside engine library drovik.dll: its
// entry point and the operations of its objects, each class's table of
// virtual operations in its fixed order. The engine implements these; the
// viewer only calls them.
#pragma once

#include <windows.h>
#include <stdint.h>

class EngineCore;

class EngineControl {
public:
    virtual void Destroy(int flags) = 0;  // flags is always 1
    virtual int32_t Run() = 0;            // 0: the project runs
    virtual bool Initialize(HINSTANCE instance, const char* appName, HWND window) = 0;
    virtual void Frame() = 0;
    virtual void LoadProject(const char* path) = 0;
    virtual EngineCore* GetCore() = 0;
    virtual void WindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetInstallDir(const char* directory) = 0;
    virtual void SetRegistryKey(const char* keyPath) = 0;
};

class ValueChannel {
public:
    virtual void SetValue(float value) = 0;
};

class EngineCore {
public:
    // Makes an object of the given type (the settings FileLoader or
    // FileSaver); null for a type the engine does not know.
    virtual void* CreateObject(GUID type, int reserved1, int reserved2) = 0;
    // Number of value channels the loaded project defines.
    virtual int ChannelCount() = 0;
    // A value channel of the loaded project, by type and name; null if none.
    virtual ValueChannel* FindChannel(GUID type, const char* name) = 0;
};

// Reads a chunk file: Open, then FindChunk and ReadChunk per chunk.
class FileLoader {
public:
    virtual void Destroy(int flags) = 0;  // flags is always 1
    virtual bool Open(const char* path) = 0;
    // Size in bytes of the chunk the last successful FindChunk found.
    virtual uint32_t ChunkSize() = 0;
    // Copies the whole data of the chunk last found to destination.
    virtual void ReadChunk(void* destination) = 0;
    // Finds the chunk with the four-letter code; false if the file has none.
    virtual bool FindChunk(const char* code) = 0;
};

// Writes a chunk file. Finish closes the file and ends the saver object:
// no Destroy follows it.
class FileSaver {
public:
    virtual bool Open(const char* path, int flags) = 0;
    virtual void BeginChunk(const char* code) = 0;
    virtual void SetChunkSize(uint32_t byteCount) = 0;
    virtual void WriteData(const void* source, uint32_t byteCount) = 0;
    virtual void Finish() = 0;
};

// The engine library's entry point, exported by this name.
typedef EngineControl* (*GetEngineControlInstanceProc)();

// Type of the two saver value channels, "OrmelixSaver" and "OrmelixSaverPreview".
constexpr GUID saverChannelType = {
    0x5A0F3D72, 0xE914, 0x4C6B, {0x9D, 0x28, 0x71, 0xB4, 0xC0, 0xE6, 0xA3, 0xF5}};
// Type of the settings FileLoader.
constexpr GUID settingsLoaderType = {
    0xC4E82B19, 0x6D53, 0x4A0E, {0x8F, 0x71, 0x3B, 0x9D, 0x2A, 0x6C, 0x05, 0xE8}};
// Type of the settings FileSaver.
constexpr GUID settingsSaverType = {
    0xE17A6F04, 0x2B98, 0x4D35, {0xA6, 0xC3, 0x9F, 0x0E, 0x5D, 0x8B, 0x17, 0x24}};
