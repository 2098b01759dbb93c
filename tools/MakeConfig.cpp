// Writes a viewer settings file "screensaver.cfg" (see MakeConfig.h).
#include "tools/MakeConfig.h"

#include <stdint.h>
#include <stdlib.h>

#include "ChunkFile.h"
#include "tools/CodePage.h"
#include "tools/ToolArguments.h"
#include "tools/WholeFile.h"

namespace {

const char usage[] =
    "usage: makecfg [--codepage N] OUTPUT PROJECT-PATH FRAME-DELAY DO-NOT-QUIT PREVIEW\n"
    "       makecfg --help\n"
    "Writes a viewer settings file: the project path in code page N (at most 258\n"
    "bytes), the frame delay in milliseconds (0 or more), do-not-quit and preview\n"
    "(0 or 1 each).\n";

const uint32_t projectPathChunkSize = 259;
const WindowsTextField projectPathField = {"the project path", projectPathChunkSize - 1,
                                           "in the settings file", false};

// The number text holds, from low to high; false after a message on err
// naming what and the text.
bool ParseNumber(const char* what, const std::string& text, long low, long high, long& value,
                 std::ostream& err)
{
    char* end = nullptr;
    value = strtol(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && value >= low && value <= high) return true;
    err << "makecfg: " << what << " \"" << text << "\" is not a whole number from " << low << " to "
        << high << "\n";
    return false;
}

std::vector<uint8_t> LittleEndian32(uint32_t value)
{
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

}  // namespace

int RunMakeConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ToolArguments split;
    if (!SplitArguments("makecfg", args, {}, split, err)) return ShowUsage(usage, false, out, err);
    if (split.help) return ShowUsage(usage, true, out, err);
    const std::vector<std::string>& words = split.words;
    if (words.size() != 5) {
        err << "makecfg: five arguments expected, " << words.size() << " given\n";
        return ShowUsage(usage, false, out, err);
    }
    int codePage;
    std::string path;
    long delay, doNotQuit, preview;
    if (!ChosenCodePage("makecfg", split, codePage, err) ||
        !EncodeForWindows("makecfg", projectPathField, words[1], codePage, path, err) ||
        !ParseNumber("frame delay", words[2], 0, 0x7fffffff, delay, err) ||
        !ParseNumber("do-not-quit", words[3], 0, 1, doNotQuit, err) ||
        !ParseNumber("preview", words[4], 0, 1, preview, err))
        return exitBadInput;

    path.resize(projectPathChunkSize, '\0');
    struct Chunk {
        const char* code;
        std::vector<uint8_t> data;
    } chunks[] = {{"SCFP", {path.begin(), path.end()}},
                  {"SCTI", LittleEndian32(static_cast<uint32_t>(delay))},
                  {"SCQC", {static_cast<uint8_t>(doNotQuit)}},
                  {"SCSP", {static_cast<uint8_t>(preview)}}};
    chunkfile::ChunkWriter writer;
    for (const Chunk& chunk : chunks) {
        writer.BeginChunk(chunk.code);
        writer.DeclareSize(static_cast<uint32_t>(chunk.data.size()));
        writer.Append(chunk.data.data(), static_cast<uint32_t>(chunk.data.size()));
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!writer.Finish(bytes, error)) {
        err << "makecfg: " << error << "\n";
        return exitBadInput;
    }
    if (!WriteWholeFile(words[0], bytes)) {
        err << "makecfg: cannot write " << words[0] << "\n";
        return exitBadInput;
    }
    return exitDone;
}
