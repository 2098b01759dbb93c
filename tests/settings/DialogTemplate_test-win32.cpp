// Template 2003 as it is built into the shipped viewer: read from
// saverviewer.scr's resources and decoded field by field, so a resource
// compiler that adds styles or moves a control is caught.
#include <windows.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "settings/resource.h"

namespace {

struct TemplateControl {
    DWORD style, exStyle;
    short x, y, cx, cy;
    WORD id;
    std::string className, text;
};

struct DialogTemplate {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::string menu, className, caption, fontName;
    WORD fontSize = 0;
    std::vector<TemplateControl> controls;
};

// Reads the words of a DLGTEMPLATE: numbers, ordinals and UTF-16 texts.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : start_(data), at_(data) {}
    WORD Word()
    {
        WORD w;
        memcpy(&w, at_, 2);
        at_ += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD d;
        memcpy(&d, at_, 4);
        at_ += 4;
        return d;
    }
    short Short() { return static_cast<short>(Word()); }
    // The template's texts are ASCII; other characters show as '?'.
    std::string Text()
    {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += c < 128 ? static_cast<char>(c) : '?';
        return text;
    }
    // A text, or an ordinal shown as its predefined class name or "#n".
    std::string TextOrOrdinal()
    {
        WORD first;
        memcpy(&first, at_, 2);
        if (first != 0xFFFF) return Text();
        Word();
        switch (WORD ordinal = Word()) {
        case 0x80: return "button";
        case 0x81: return "edit";
        case 0x82: return "static";
        default: return "#" + std::to_string(ordinal);
        }
    }
    void AlignToDword() { at_ = start_ + ((at_ - start_ + 3) & ~3); }

private:
    const BYTE* start_;
    const BYTE* at_;
};

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

DialogTemplate Decode(const BYTE* data)
{
    TemplateReader reader(data);
    DialogTemplate dialog;
    dialog.style = reader.Dword();
    dialog.exStyle = reader.Dword();
    WORD count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    dialog.menu = reader.TextOrOrdinal();
    dialog.className = reader.TextOrOrdinal();
    dialog.caption = reader.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.fontSize = reader.Word();
        dialog.fontName = reader.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        TemplateControl control;
        control.style = reader.Dword();
        control.exStyle = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.cx = reader.Short();
        control.cy = reader.Short();
        control.id = reader.Word();
        control.className = Lower(reader.TextOrOrdinal());
        control.text = reader.TextOrOrdinal();
        WORD extraBytes = reader.Word();
        for (WORD b = 0; b < extraBytes; b += 2) reader.Word();
        dialog.controls.push_back(control);
    }
    return dialog;
}

std::string ViewerPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "saverviewer.scr";
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

class DialogTemplateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        viewer = LoadLibraryExA(ViewerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(viewer) << ViewerPath();
    }
    void TearDown() override
    {
        if (viewer) FreeLibrary(viewer);
    }
    HMODULE viewer = nullptr;
};

TEST_F(DialogTemplateTest, OnlyInEnglishUnitedStates)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(viewer, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_SETTINGS),
                           CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(std::vector<WORD>{1033}, languages);
}

TEST_F(DialogTemplateTest, DialogAndControlsHaveTheirFixedLayoutAndStyles)
{
    HRSRC found = FindResourceExA(viewer, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_SETTINGS),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_TRUE(found);
    auto* data = static_cast<const BYTE*>(LockResource(LoadResource(viewer, found)));
    ASSERT_TRUE(data);
    DWORD first;
    memcpy(&first, data, 4);
    ASSERT_NE(0xFFFF0001u, first) << "an extended template; the design is a plain one";
    DialogTemplate dialog = Decode(data);

    EXPECT_EQ(0x90C800C0u, dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(252, dialog.cx);
    EXPECT_EQ(87, dialog.cy);
    EXPECT_EQ("", dialog.menu);
    EXPECT_EQ("", dialog.className);
    EXPECT_EQ("Ormelix Screensaver", dialog.caption);
    EXPECT_EQ(8, dialog.fontSize);
    EXPECT_EQ("MS Sans Serif", dialog.fontName);

    // One row per control, in template order, which is also the tab order.
    const TemplateControl expected[] = {
        {0x50010001, 0, 195, 66, 50, 14, 1, "button", "OK"},
        {0x50010001, 0, 7, 18, 182, 20, 1002, "msctls_trackbar32", "Slider1"},
        {0x50020000, 0, 7, 7, 238, 9, 0xFFFF, "static",
         "Maximum frame rate (lower will use less processing power):"},
        {0x50810881, 0, 195, 21, 50, 14, 1003, "edit", ""},
        {0x50020000, 0, 162, 37, 24, 8, 0xFFFF, "static", "Lowest"},
        {0x50020000, 0, 13, 38, 25, 8, 0xFFFF, "static", "Highest"},
        {0x50010003, 0, 7, 69, 166, 10, 1005, "button",
         "Do not force screensaver to quit on user action."},
        {0x50010003, 0, 7, 58, 67, 10, 1006, "button", "Enable preview."},
    };
    ASSERT_EQ(sizeof expected / sizeof expected[0], dialog.controls.size());
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        const TemplateControl& want = expected[i];
        const TemplateControl& got = dialog.controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + want.text + "\"");
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.className, got.className);
        EXPECT_EQ(want.text, got.text);
    }
}

}  // namespace
