// Where the program's texts go: a console stream, the parser log, or a string in a test.
//
// The program's own messages are UTF-8 in the source and are converted to the sink's encoding
// here, at the edge. Bytes that come from input files (names, paths, comment text) are written
// unchanged with `raw`.
#pragma once

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "util/Encoding.h"

namespace pelorin {

// Receives bytes that are already in their final encoding.
class TextSink {
  public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view bytes) = 0;
    virtual void flush() {}
    // A line was ended with MessageStream::endl. Consoles flush here, so that a user sees each
    // line as it comes; a sink that buffers waits for flush().
    virtual void endLine() { flush(); }
};

// Writes to a C stdio stream (stdout, stderr) that it does not own.
class StdioSink : public TextSink {
  public:
    explicit StdioSink(std::FILE* stream) : stream_(stream) {}
    void write(std::string_view bytes) override;
    void flush() override;

  private:
    std::FILE* stream_;
};

// Writes to a file it creates or truncates; when the file cannot be created every write has no
// effect, which is how the parser log behaves. Lines are buffered, not flushed one by one: the
// owner calls flush() when a piece of work ends and before the program stops, so the file is
// then complete. Destruction flushes too.
class FileSink : public TextSink {
  public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    bool isOpen() const { return file_ != nullptr; }
    void write(std::string_view bytes) override;
    void flush() override;
    void endLine() override {}

  private:
    // Large enough that a start-up log of thousands of lines costs a handful of writes.
    static constexpr std::size_t kBufferSize = std::size_t{64} << 10;

    std::FILE* file_;
    std::string buffer_;
};

// Collects everything in memory; tests read `text()`.
class StringSink : public TextSink {
  public:
    void write(std::string_view bytes) override { text_.append(bytes); }
    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }

  private:
    std::string text_;
};

// Formatting front end over a sink, with the stream conventions of the program's traces:
// integers in decimal, doubles in the stream default form (six significant digits), and `endl`
// writing a line feed and flushing (the sink decides: see TextSink::endLine).
class MessageStream {
  public:
    // A CP932 stream keeps a converter of its own for the texts it writes.
    MessageStream(TextSink& sink, TextEncoding encoding);
    // A stream whose encoding may change later (the console's) has its converter from the start.
    MessageStream(TextSink& sink, TextEncoding encoding, std::shared_ptr<TextConverter> converter)
        : sink_(&sink), encoding_(encoding), converter_(std::move(converter)) {}
    // Writes to `sink` as `like` does: same encoding, same converter.
    MessageStream(TextSink& sink, const MessageStream& like)
        : sink_(&sink), encoding_(like.encoding()), converter_(like.converter_) {}
    MessageStream(const MessageStream& other) : MessageStream(*other.sink_, other) {}
    MessageStream& operator=(const MessageStream&) = delete;

    MessageStream& msg(std::string_view utf8);   // own text, converted to the sink's encoding
    MessageStream& raw(std::string_view bytes);  // input bytes, unchanged
    MessageStream& operator<<(int value);
    MessageStream& operator<<(long value);
    MessageStream& operator<<(unsigned long value);
    MessageStream& operator<<(unsigned int value) {
        return *this << static_cast<unsigned long>(value);
    }
    MessageStream& operator<<(double value);
    MessageStream& endl();
    void flush() { sink_->flush(); }

    TextEncoding encoding() const { return encoding_.load(std::memory_order_relaxed); }
    TextSink& sink() const { return *sink_; }

  private:
    friend class Console;

    TextSink* sink_;
    // Changes only for the console's streams, while other threads may be writing.
    std::atomic<TextEncoding> encoding_;
    std::shared_ptr<TextConverter> converter_;  // UTF-8 to CP932; null while not needed
};

// The process console: standard output and standard error in the console's encoding. Tests
// replace the sinks to capture exactly what a user would see.
class Console {
  public:
    static MessageStream& out();
    static MessageStream& err();
    // Redirects both streams; pass nullptr to return to stdout/stderr. Any thread, also while
    // others write: each write, flush and line end goes wholly to the old sink or the new one,
    // and once this returns none goes to the old one any more (so the caller may destroy it).
    // A line written across the switch may be split between the two.
    static void redirect(TextSink* out, TextSink* err, TextEncoding encoding = consoleEncoding());
};

}  // namespace pelorin
