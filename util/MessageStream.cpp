#include "util/MessageStream.h"

#include <mutex>

#include "util/TextHelpers.h"

namespace pelorin {

void StdioSink::write(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
}

void StdioSink::flush() {
    std::fflush(stream_);
}

FileSink::FileSink(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}

FileSink::~FileSink() {
    if (file_ == nullptr) return;
    flush();
    std::fclose(file_);
}

void FileSink::write(std::string_view bytes) {
    if (file_ == nullptr) return;
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize) flush();
}

void FileSink::flush() {
    if (file_ == nullptr) return;
    std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    std::fflush(file_);
    buffer_.clear();
}

MessageStream::MessageStream(TextSink& sink, TextEncoding encoding)
    : sink_(&sink), encoding_(encoding) {
    if (encoding == TextEncoding::Cp932)
        converter_ = std::make_shared<TextConverter>("CP932", "UTF-8");
}

MessageStream& MessageStream::msg(std::string_view utf8) {
    if (needsConversion(utf8, encoding())) {
        sink_->write(converter_->convert(utf8));
    } else {
        sink_->write(utf8);
    }
    return *this;
}

MessageStream& MessageStream::raw(std::string_view bytes) {
    sink_->write(bytes);
    return *this;
}

MessageStream& MessageStream::operator<<(int value) {
    return raw(std::to_string(value));
}

MessageStream& MessageStream::operator<<(long value) {
    return raw(std::to_string(value));
}

MessageStream& MessageStream::operator<<(unsigned long value) {
    return raw(std::to_string(value));
}

MessageStream& MessageStream::operator<<(double value) {
    return raw(formatDouble(value));
}

MessageStream& MessageStream::endl() {
    sink_->write("\n");
    sink_->endLine();
    return *this;
}

namespace {

// A console stream's sink: a stdio stream, or what a redirect put in its place. The lock keeps a
// redirect from meeting a write halfway.
class SwitchableSink : public TextSink {
  public:
    explicit SwitchableSink(std::FILE* stream) : stdio_(stream), target_(&stdio_) {}

    void write(std::string_view bytes) override {
        std::lock_guard<std::mutex> lock(mutex_);
        target_->write(bytes);
    }
    void flush() override {
        std::lock_guard<std::mutex> lock(mutex_);
        target_->flush();
    }
    void endLine() override {
        std::lock_guard<std::mutex> lock(mutex_);
        target_->endLine();
    }
    void switchTo(TextSink* target) {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = target != nullptr ? target : &stdio_;
    }

  private:
    std::mutex mutex_;
    StdioSink stdio_;
    TextSink* target_;
};

// The console's two streams. Never destroyed: other threads may still write while the process
// ends.
struct ConsoleStreams {
    SwitchableSink outSink{stdout};
    SwitchableSink errSink{stderr};
    // One converter for both: a redirect may switch either stream to CP932.
    std::shared_ptr<TextConverter> converter = std::make_shared<TextConverter>("CP932", "UTF-8");
    MessageStream out{outSink, consoleEncoding(), converter};
    MessageStream err{errSink, consoleEncoding(), converter};
};

ConsoleStreams& console() {
    static auto* streams = new ConsoleStreams;
    return *streams;
}

}  // namespace

MessageStream& Console::out() {
    return console().out;
}

MessageStream& Console::err() {
    return console().err;
}

void Console::redirect(TextSink* out, TextSink* err, TextEncoding encoding) {
    ConsoleStreams& streams = console();
    streams.outSink.switchTo(out);
    streams.errSink.switchTo(err);
    streams.out.encoding_.store(encoding, std::memory_order_relaxed);
    streams.err.encoding_.store(encoding, std::memory_order_relaxed);
}

}  // namespace pelorin
