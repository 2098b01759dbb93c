// The stand-in string channel and channel list that the plug-in builds on.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "engine/channels/Zel_List.h"
#include "engine/stringchannel/Zco_StringChannel.h"

namespace {

class MemorySaver : public ZelFileSaver {
public:
    bool Write(const void* source, uint32_t byteCount) override
    {
        auto bytes = static_cast<const unsigned char*>(source);
        data.insert(data.end(), bytes, bytes + byteCount);
        return true;
    }
    std::vector<unsigned char> data;
};

class MemoryLoader : public ZelFileLoader {
public:
    explicit MemoryLoader(std::vector<unsigned char> bytes) : data(std::move(bytes)) {}
    bool Read(void* destination, uint32_t byteCount) override
    {
        if (data.size() - position < byteCount) return false;
        memcpy(destination, data.data() + position, byteCount);
        position += byteCount;
        return true;
    }

private:
    std::vector<unsigned char> data;
    size_t position = 0;
};

TEST(StringChannel, StoresItsOwnCopyWithinTheLimit)
{
    struct Case {
        const char* rule;
        int maxCharacters;
        const char* text;
        const char* stored;
    } cases[] = {
        // Without a limit the whole text is kept.
        {"no limit", 0, "A;C;D;", "A;C;D;"},
        {"negative means no limit", -5, "A;C;D;", "A;C;D;"},
        // A limit cuts the stored text to that many characters.
        {"limit cuts", 4, "A;C;D;", "A;C;"},
        {"limit longer than the text", 40, "A;", "A;"},
        // Null stores the empty text.
        {"null", 0, nullptr, ""},
        {"empty", 0, "", ""},
    };
    for (const Case& c : cases) {
        Zco_StringChannel channel;
        channel.SetMaxCars(c.maxCharacters);
        char source[64] = {};
        if (c.text) strcpy(source, c.text);
        channel.SetString(c.text ? source : nullptr);
        memset(source, '#', sizeof source - 1);  // the caller's buffer changes afterwards
        EXPECT_STREQ(c.stored, channel.GetString()) << c.rule;
        std::wstring wide(c.stored, c.stored + strlen(c.stored));
        EXPECT_EQ(wide, channel.GetWString()) << c.rule << ": the wide copy follows";
    }
}

TEST(StringChannel, WideAndAnsiTextStayEqual)
{
    Zco_StringChannel channel;
    channel.SetWString(L"Z;");
    EXPECT_STREQ("Z;", channel.GetString());
    channel.SetString(channel.GetString());  // its own text as the source
    EXPECT_STREQ("Z;", channel.GetString());
    EXPECT_STREQ(L"Z;", channel.GetWString());

    wchar_t wide[8];
    char narrow[8];
    channel.AS2WS(wide, "C;D;");
    channel.WS2AS(narrow, L"E;");
    EXPECT_STREQ(L"C;D;", wide);
    EXPECT_STREQ("E;", narrow);
}

TEST(StringChannel, SavedChannelLoadsBackAndBadDataChangesNothing)
{
    Zco_StringChannel saved;
    saved.SetString("A;C;");
    saved.SetSingeLine(true);
    saved.SetMaxCars(9);
    MemorySaver saver;
    ASSERT_TRUE(saved.SaveChannel(saver));

    Zco_StringChannel loaded;
    MemoryLoader loader(saver.data);
    ASSERT_TRUE(loaded.LoadChannel(loader, nullptr));
    EXPECT_STREQ("A;C;", loaded.GetString());
    EXPECT_TRUE(loaded.GetSingeLine());

    std::vector<unsigned char> huge = {0xFF, 0xFF, 0xFF, 0x7F, 'x'};
    struct Case {
        const char* rule;
        std::vector<unsigned char> data;
    } cases[] = {
        {"empty data", {}},
        {"text shorter than its length",
         std::vector<unsigned char>(saver.data.begin(), saver.data.begin() + 6)},
        {"flags missing", std::vector<unsigned char>(saver.data.begin(), saver.data.end() - 5)},
        {"length beyond the loading limit", huge},
    };
    for (const Case& c : cases) {
        Zco_StringChannel channel;
        channel.SetString("kept");
        MemoryLoader bad(c.data);
        EXPECT_FALSE(channel.LoadChannel(bad, nullptr)) << c.rule;
        EXPECT_STREQ("kept", channel.GetString()) << c.rule;
        EXPECT_FALSE(channel.GetSingeLine()) << c.rule;
    }
}

TEST(ChannelList, KeepsEachChannelOnceInOrder)
{
    Zco_StringChannel first, second;
    Zel_List list;
    EXPECT_TRUE(list.Add(&first));
    EXPECT_FALSE(list.Add(&first)) << "already listed";
    EXPECT_FALSE(list.Add(nullptr));
    second.DoDependencyInit(&list);
    first.DoDependencyInit(&list);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(&first, list.At(0));
    EXPECT_EQ(&second, list.At(1));
    EXPECT_EQ(nullptr, list.At(2));
    EXPECT_EQ(nullptr, list.At(-1));
}

}  // namespace
