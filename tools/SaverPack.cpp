// The packing tool's commands (see SaverPack.h).
#include "tools/SaverPack.h"

#include <string.h>

#include <filesystem>
#include <iomanip>

#include "common/ViewersKey.h"
#include "packdata/AppendedDataReader.h"
#include "packdata/Crc32.h"
#include "tools/BlockWriter.h"
#include "tools/ByteBlockFile.h"
#include "tools/CodePage.h"
#include "tools/ToolArguments.h"
#include "tools/WholeFile.h"

namespace {

const char usage[] =
    "usage: saverpack pack [--replace] [--codepage N] VIEWER OUTPUT \"Project Name\"\n"
    "       saverpack list [--codepage N] FILE\n"
    "       saverpack --help\n"
    "pack copies VIEWER to OUTPUT with a data block naming the project (--replace\n"
    "replaces a block VIEWER already carries), written in code page N; the name may\n"
    "have 219 characters (219 bytes where the code page takes two for some). list\n"
    "prints the block's entries and the project name it carries, read in code page N.\n";

const WindowsTextField projectNameField = {"the project name", longestProjectName,
                                           "in the viewer's registry key path", true};

// Messages of the reader's scan go to err, or nowhere when only asking. They
// name the file: the caption the viewer gives its boxes is whatever bytes
// stood where the block was looked for, which means nothing on a terminal.
class StreamReporter : public MessageReporter {
public:
    StreamReporter(std::ostream* err, const std::string& path) : err(err), path(path) {}
    void Report(const char* text, const char*) override
    {
        if (err) *err << "saverpack: " << path << ": " << text << "\n";
    }

private:
    std::ostream* err;
    std::string path;
};

// Offsets in the block are 32-bit; files of 2 GiB or more are outside the format.
const size_t largestFile = 0x7FFFFFFFu - 1024;

// Reads the file at path whole (what names it in messages); false after a
// message on err.
bool ReadInput(const std::string& path, const char* what, std::vector<uint8_t>& bytes,
               std::ostream& err)
{
    if (!ReadWholeFile(path, bytes)) {
        err << "saverpack: cannot read " << what << path << "\n";
        return false;
    }
    if (bytes.size() > largestFile) {
        err << "saverpack: " << what << path << " is too large for the block format\n";
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Prints the project name the viewer reads from the block, as the viewer
// reads it; 1 after a message on err when the viewer cannot use it.
int ShowProjectName(AppendedDataReader& reader, const std::string& path, int codePage,
                    std::ostream& out, std::ostream& err)
{
    char name[shippedDataSize + 1] = {};
    if (!reader.ReadEntry("ProjectName", name, shippedDataSize, shippedGroupName)) {
        err << "saverpack: " << path << ": the block has no " << shippedGroupName << " "
            << shippedEntryName << " entry to read: the viewer finds no project name\n";
        return 1;
    }
    size_t length = strnlen(name, shippedDataSize);
    if (length == 0) {
        err << "saverpack: " << path << ": the project name is empty\n";
        return 1;
    }
    out << "project name: " << DecodeFromWindows(std::string(name, length), codePage)
        << " (code page " << codePage << ")\n";
    if (length == static_cast<size_t>(shippedDataSize)) {
        err << "saverpack: " << path << ": the project name fills all " << shippedDataSize
            << " bytes of its entry without ending; the viewer cannot use it\n";
        return 1;
    }
    if (length > longestProjectName) {
        err << "saverpack: " << path << ": the project name takes " << length << " bytes; at most "
            << longestProjectName << " fit " << projectNameField.room << "\n";
        return 1;
    }
    std::string tool = "saverpack: " + path;
    return CheckWindowsBytes(tool.c_str(), projectNameField, std::string(name, length), codePage,
                             err)
               ? 0
               : 1;
}

}  // namespace

int RunSaverPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ToolArguments split;
    if (!SplitArguments("saverpack", args, {"--replace"}, split, err))
        return ShowUsage(usage, false, out, err);
    if (split.help) return ShowUsage(usage, true, out, err);
    const std::vector<std::string>& words = split.words;
    bool replace = split.Has("--replace");
    bool pack = words.size() == 4 && words[0] == "pack";
    bool list = words.size() == 2 && words[0] == "list" && !replace;
    if (!pack && !list) {
        if (words.empty())
            err << "saverpack: no command given\n";
        else if (words[0] != "pack" && words[0] != "list")
            err << "saverpack: unknown command \"" << words[0] << "\"\n";
        else
            err << "saverpack: wrong arguments for " << words[0] << "\n";
        return ShowUsage(usage, false, out, err);
    }
    int codePage;
    if (!ChosenCodePage("saverpack", split, codePage, err)) return exitBadInput;
    return pack ? PackViewer(words[1], words[2], words[3], codePage, replace, err)
                : ListBlock(words[1], codePage, out, err);
}

int PackViewer(const std::string& viewer, const std::string& output, const std::string& projectName,
               int codePage, bool replace, std::ostream& err)
{
    if (projectName.empty()) {
        err << "saverpack: the project name is empty\n";
        return 1;
    }
    std::string nameBytes;
    if (!EncodeForWindows("saverpack", projectNameField, projectName, codePage, nameBytes, err))
        return 1;
    std::vector<uint8_t> bytes;
    if (!ReadInput(viewer, "the viewer ", bytes, err)) return 1;
    if (SameFile(viewer, output)) {
        err << "saverpack: the output " << output << " is the viewer itself; choose another file\n";
        return 1;
    }
    ByteBlockFile file(bytes);
    StreamReporter quiet(nullptr, viewer);
    AppendedDataReader existing(file, quiet, viewer.c_str());
    if (existing.FoundBlock()) {
        if (!replace) {
            err << "saverpack: " << viewer << " already carries a data block (at offset "
                << existing.GetBlockOffset() << "); use --replace to replace it\n";
            return 1;
        }
        bytes.resize(existing.GetBlockOffset());
    }
    std::vector<uint8_t> block =
        BuildBlock({ProjectNameEntry(nameBytes)}, static_cast<uint32_t>(bytes.size()));
    bytes.insert(bytes.end(), block.begin(), block.end());
    if (!WriteWholeFile(output, bytes)) {
        err << "saverpack: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}

int ListBlock(const std::string& path, int codePage, std::ostream& out, std::ostream& err)
{
    std::vector<uint8_t> bytes;
    if (!ReadInput(path, "", bytes, err)) return 1;
    ByteBlockFile file(bytes);
    StreamReporter reporter(&err, path);
    AppendedDataReader reader(file, reporter, path.c_str());
    if (!reader.FoundBlock()) return 1;
    if (!reader.ReadWholeTable()) {
        err << "saverpack: " << path << ": the entry table of the block at offset "
            << reader.GetBlockOffset() << " is damaged\n";
        return 1;
    }
    uint64_t dataAt = uint64_t{reader.GetBlockOffset()} + reader.GetDataOffset();
    for (int i = 0; i < reader.GetEntryCount(); ++i) {
        const AppendedDataEntry* entry = reader.GetEntry(i);
        bool whole = dataAt + entry->dataSize <= bytes.size();
        bool matches = whole && Crc32(bytes.data() + dataAt, entry->dataSize) == entry->crc;
        out << entry->groupName << "\t" << entry->entryName << "\t" << entry->dataSize << "\t"
            << std::hex << std::setw(8) << std::setfill('0') << entry->crc << std::dec << "\t"
            << (matches ? "ok"
                : whole ? "BAD"
                        : "cut short")
            << "\n";
        dataAt += entry->dataSize;
    }
    return ShowProjectName(reader, path, codePage, out, err);
}
