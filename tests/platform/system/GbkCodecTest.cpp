#include "platform/system/GbkCodec.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(GbkCodecTest, RoundTripsChineseAndRejectsWhatGbkCannotHold) {
    const QString text = u"Velmora\\文档\\使用说明.txt"_qs;
    const auto bytes = EncodeGbk(text);
    ASSERT_TRUE(bytes.has_value());
    // Two bytes for each Chinese character, one for each ASCII character.
    EXPECT_EQ(bytes->size(), 8 + (2 * 2 + 1) + (4 * 2 + 4));
    EXPECT_EQ(DecodeGbk(*bytes), text);

    // 0x81 0x5C is one character whose trailing byte is a backslash.
    EXPECT_EQ(DecodeGbk(QByteArray("\x81\x5c", 2)), u"乗"_qs);
    EXPECT_EQ(EncodeGbk(u"乗"_qs), QByteArray("\x81\x5c", 2));

    EXPECT_FALSE(DecodeGbk(QByteArray("\x81", 1)).has_value());     // cut in the middle
    EXPECT_FALSE(DecodeGbk(QByteArray("\xff\xff", 2)).has_value()); // not a GBK sequence
    EXPECT_FALSE(EncodeGbk(u"😀.txt"_qs).has_value());               // outside the code page
    EXPECT_EQ(DecodeGbk(QByteArray()), QString());
}
