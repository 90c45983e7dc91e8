// MD5 and Base64 against their RFC vectors, and the item cipher: a fixed
// vector computed independently from the stored layout, round trips in both
// plain-byte forms, and wrong keys or damaged text giving nothing.
#include "launcher/cipher.h"

#include <gtest/gtest.h>

#include "launcher/digest.h"

namespace pt {
namespace {

TEST(Md5, Rfc1321Suite) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890"
                     "1234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
    // Lengths around the 56-byte padding boundary take one or two tail blocks.
    EXPECT_EQ(Md5Hex(std::string(55, 'x')), "04364420e25c512fd958a70738aa8f72");
    EXPECT_EQ(Md5Hex(std::string(56, 'x')), "668a72d5ba17f08e62dabcafad6db14b");
    EXPECT_EQ(Md5Hex(std::string(64, 'x')), "c1bb4f81d892b2d57947682aeb252456");
    EXPECT_EQ(Md5Hex(std::string("\0\xff", 2)), "d07d34efac6328007ad67c7e0a985e00");
}

TEST(Base64, Rfc4648VectorsPaddedAndUnpadded) {
    const char* plain[] = {"", "f", "fo", "foo", "foob", "fooba", "foobar"};
    const char* coded[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Base64Encode(plain[i]), coded[i]);
        EXPECT_EQ(Base64Decode(coded[i]).value_or("?"), plain[i]);
        std::string unpadded = coded[i];
        while (!unpadded.empty() && unpadded.back() == '=')
            unpadded.pop_back();
        EXPECT_EQ(Base64Decode(unpadded).value_or("?"), plain[i]) << unpadded;
    }
    EXPECT_EQ(Base64Encode(std::string("\xfb\xff", 2)), "+/8=");
    EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy").value_or("?"), "foobar");
    EXPECT_FALSE(Base64Decode("Zm9v!"));
    EXPECT_FALSE(Base64Decode("Z"));       // one digit cannot hold a byte
    EXPECT_FALSE(Base64Decode("Zg=x"));    // data after padding
    EXPECT_FALSE(Base64Decode("Zg==="));   // too much padding
    EXPECT_FALSE(Base64Decode("Zm9v=="));  // padding where none belongs
}

TEST(Cipher, MatchesTheStoredLayout) {
    // Computed from the layout with an independent implementation.
    CipherClock clock{133000000000000000ULL, 1700000000};
    EXPECT_EQ(CipherEncodeBytes("C:\\Windows\\notepad.exe", "abcd1234", clock),
              "22e52tpLHGnuQb939d+s0u82WtWfbfP0grBh8f1FZVf03OOCYn1J0+Lr8ZJu6XYAATvk");
    EXPECT_EQ(CipherDecodeAt("22e52tpLHGnuQb939d+s0u82WtWfbfP0grBh8f1FZVf03OOCYn1J0+Lr8ZJu6XYAATvk",
                             "abcd1234", clock),
              "C:\\Windows\\notepad.exe");
    // Code page 936 plain bytes, as earlier versions enciphered Chinese text.
    EXPECT_EQ(CipherDecodeAt("a48cQ8ZdSaiPS6msY5TBs1k1lzflB4JRCtzdk8liomeKHuADTIzvcyqVyaEn",
                             kIconCipherKey, clock),
              "C:\\游戏\\启动.exe");
    EXPECT_EQ(
        CipherEncodeAt("C:\\游戏\\启动.exe", kIconCipherKey, CipherClock{133000000000000001ULL, 0}),
        "a48cQ8ZdSaiPS6msY5TBs1k1lzflB4JRCtzdk8liomeKHuADTIzvcyqVyaEn");
}

TEST(Cipher, RoundTripsInBothPlainForms) {
    for (std::string plain :
         {std::string("C:\\Tools\\app.exe"), std::string("D:\\游戏\\启动.exe"),
          std::string("C:\\日本語\\ファイル.txt \xF0\x9F\x98\x80"), std::string("")}) {
        std::string first = CipherEncode(plain, "Key42");
        EXPECT_EQ(CipherDecode(first, "Key42"), plain);
        EXPECT_EQ(first.find('='), std::string::npos);
    }
    // Text with no code page 936 form travels as UTF-8 behind the mark.
    EXPECT_EQ(CipherPlainBytes("\xF0\x9F\x98\x80").substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(CipherPlainBytes("abc"), "abc");
    EXPECT_EQ(CipherPlainBytes("启动"), "\xC6\xF4\xB6\xAF");
}

// "锘緻" is EF BB BF 40 in code page 936: the UTF-8 mark itself.
TEST(Cipher, TextWhose936BytesLookLikeTheMarkRoundTrips) {
    for (std::string plain : {std::string("锘緻"), std::string("锘緻文件.exe")}) {
        EXPECT_EQ(CipherPlainBytes(plain), "\xEF\xBB\xBF" + plain);
        EXPECT_EQ(CipherDecode(CipherEncode(plain, "Key42"), "Key42"), plain);
    }
    // What earlier versions wrote: the plain 936 bytes, invalid UTF-8 after the mark.
    EXPECT_EQ(CipherPlainText("\xEF\xBB\xBF\x40\xCE\xC4\xBC\xFE.exe"), "锘緻文件.exe");
    EXPECT_EQ(CipherPlainText("\xEF\xBB\xBF\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(Cipher, SameInputDifferentTextsBothDecipher) {
    CipherClock a{133000000000000000ULL, 1700000000};
    CipherClock b{133000000000000017ULL, 1700000000};
    std::string one = CipherEncodeAt("C:\\a.exe", "abcd", a);
    std::string two = CipherEncodeAt("C:\\a.exe", "abcd", b);
    EXPECT_NE(one, two);
    EXPECT_EQ(CipherDecodeAt(one, "abcd", a), "C:\\a.exe");
    EXPECT_EQ(CipherDecodeAt(two, "abcd", a), "C:\\a.exe");
}

TEST(Cipher, WrongKeyOrDamagedTextGivesNothing) {
    CipherClock clock{133000000000000000ULL, 1700000000};
    std::string text = CipherEncodeAt("C:\\secret\\tool.exe", "right1", clock);
    EXPECT_EQ(CipherDecodeAt(text, "wrong1", clock), "");
    EXPECT_EQ(CipherDecodeAt(text, "Right1", clock), "");
    std::string flipped = text;
    flipped[10] = flipped[10] == 'A' ? 'B' : 'A';
    EXPECT_EQ(CipherDecodeAt(flipped, "right1", clock), "");
    EXPECT_EQ(CipherDecodeAt(text.substr(0, 20), "right1", clock), "");
    for (std::string bad : {"", "abc", "abcd", "abcd!!!!", "abcdZ", "abcdAAAAAAAA"}) {
        EXPECT_EQ(CipherDecodeAt(bad, "right1", clock), "") << bad;
    }
}

TEST(Cipher, ExpiryIsHonoured) {
    CipherClock clock{133000000000000000ULL, 1700000000};
    std::string text = CipherEncodeBytes("x", "k", clock, 60);
    EXPECT_EQ(CipherDecodeBytes(text, "k", clock).value_or("?"), "x");
    CipherClock later{clock.fileTime, clock.unixNow + 61};
    EXPECT_FALSE(CipherDecodeBytes(text, "k", later));
}

}  // namespace
}  // namespace pt
