// Encodings: the program's UTF-8 texts converted for CP932 sinks, and codeset detection.
#include "util/Encoding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "util/MessageStream.h"

namespace pelorin {
namespace {

// "設定ファイルの構文解析に失敗" in CP932.
const std::string kParseFailedCp932 =
    "\x90\xdd\x92\xe8\x83t\x83@\x83"
    "C\x83\x8b\x82\xcc\x8d\\\x95\xb6\x89\xf0\x90\xcd\x82\xc9"
    "\x8e\xb8\x94s";

TEST(EncodeTextTest, KnownStringToCp932AndBack) {
    const std::string utf8 = "設定ファイルの構文解析に失敗";
    EXPECT_EQ(encodeText(utf8, TextEncoding::Cp932), kParseFailedCp932);
    EXPECT_EQ(decodeCp932(kParseFailedCp932), utf8);
    EXPECT_EQ(encodeText(utf8, TextEncoding::Utf8), utf8);
    EXPECT_EQ(encodeText("", TextEncoding::Cp932), "");
    // Seven-bit text skips the converter; it must come out exactly as the converter gives it.
    std::string ascii;
    for (int c = 1; c < 0x80; ++c) ascii.push_back(static_cast<char>(c));
    EXPECT_EQ(encodeText(ascii, TextEncoding::Cp932), ascii);
    EXPECT_EQ(encodeText("あ" + ascii, TextEncoding::Cp932),
              encodeText("あ", TextEncoding::Cp932) + ascii);
}

// Unconvertible input never stops the conversion: each character is marked with one '?' and the
// text after it survives.
TEST(EncodeTextTest, CharactersOutsideCp932BecomeQuestionMarks) {
    const std::string emoji = encodeText(
        "a\xF0\x9F\x98\x80"
        "b\xE3\x81\x82",
        TextEncoding::Cp932);
    EXPECT_EQ(emoji, "a?b\x82\xa0");                                   // "あ" after it intact
    EXPECT_EQ(encodeText("x\xFFy", TextEncoding::Cp932), "x?y");       // broken UTF-8
    EXPECT_EQ(encodeText("x\xE3\x81y", TextEncoding::Cp932), "x??y");  // cut-short character
}

// One converter serves every thread that writes to a stream (the console is written from
// several); each text still converts whole and alone. The thread-sanitizer build watches the
// sharing.
TEST(EncodeTextTest, ThreadsShareAConverterSafely) {
    const std::string utf8 = "設定ファイルの構文解析に失敗";
    TextConverter toCp932("CP932", "UTF-8");
    TextConverter toUtf8("UTF-8", "CP932");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                if (toCp932.convert(utf8) != kParseFailedCp932) ++wrong;
                if (toUtf8.convert(kParseFailedCp932) != utf8) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(ShiftJisCodesetTest, NamesOfTheFamily) {
    for (const char* name : {"SJIS", "sjis", "Shift_JIS", "SHIFT-JIS", "CP932", "cp932",
                             "WINDOWS-31J", "MS932", "MS_Kanji"}) {
        EXPECT_TRUE(isShiftJisCodeset(name)) << name;
    }
    for (const char* name : {"", "UTF-8", "EUC-JP", "ISO-8859-1", "SJIS2", "CP9320"}) {
        EXPECT_FALSE(isShiftJisCodeset(name)) << name;
    }
}

TEST(MessageStreamTest, OwnTextConvertedInputBytesNot) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    out.msg("テスト").raw("\x83\x65").raw(" ") << 42;  // raw: a CP932 "テ" passes as it is
    out << 0.5;
    out.endl();
    EXPECT_EQ(sink.text(), "\x83\x65\x83X\x83g\x83\x65 420.5\n");
}

// A test redirects the console while other threads write to it: each write lands whole in the
// sink that was current, none reaches a sink after the redirect away from it returned (the
// sinks here are destroyed then), and none is lost. The sanitizer builds watch the switch.
TEST(ConsoleTest, RedirectWhileAnotherThreadWrites) {
    StringSink between;
    Console::redirect(&between, &between, TextEncoding::Utf8);
    std::atomic<bool> stop{false};
    std::atomic<long> written{0};
    std::thread writer([&] {
        for (; !stop.load(); ++written) Console::out().raw("x");
    });
    long received = 0;
    for (int round = 0; round < 500; ++round) {
        StringSink shortLived;
        Console::redirect(&shortLived, &shortLived, TextEncoding::Cp932);
        // The writer is at work while this sink is current.
        for (const long before = written.load(); written.load() == before;)
            std::this_thread::yield();
        Console::redirect(&between, &between, TextEncoding::Utf8);
        received += static_cast<long>(shortLived.text().size());
    }
    stop = true;
    writer.join();
    Console::redirect(nullptr, nullptr);
    received += static_cast<long>(between.text().size());
    EXPECT_EQ(received, written.load());
}

}  // namespace
}  // namespace pelorin
