// Engine text for display: UTF-8 passes, GBK is decoded, garbage never breaks it.
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using qinglan::displayText;
using qinglan::isValidUtf8;

TEST(TextEncoding, DisplayTextDecodesWhatIsNotUtf8) {
    struct Row {
        std::string bytes, shown;
    };
    const Row rows[] = {
        { "FakeEngine 1.0", "FakeEngine 1.0" }, { "象棋引擎", "象棋引擎" },
        { "\xCF\xF3\xC6\xE5", "象棋" }, // GBK
        { "id name \xCF\xF3\xC6\xE5 1.0", "id name 象棋 1.0" },
        { "a\xFF"
          "b",
            "a\xEF\xBF\xBD"
            "b" }, // no such byte in GB18030
        { "\x80", "\xEF\xBF\xBD" }, { "ab\xCF", "ab\xEF\xBF\xBD" }, // cut off after the first byte
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(displayText(row.bytes), row.shown);
    }
}

TEST(TextEncoding, AnyBytesGiveValidUtf8) {
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes(random() % 24, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        ASSERT_TRUE(isValidUtf8(displayText(bytes)));
    }
    EXPECT_FALSE(isValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
}
