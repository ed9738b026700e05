#include "util/MessageStream.h"

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

MessageStream& MessageStream::msg(std::string_view utf8) {
    if (needsConversion(utf8, encoding_)) {
        sink_->write(encodeText(utf8, encoding_));
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

StdioSink stdoutSink(stdout);
StdioSink stderrSink(stderr);

MessageStream& outStream() {
    static MessageStream stream(stdoutSink, consoleEncoding());
    return stream;
}

MessageStream& errStream() {
    static MessageStream stream(stderrSink, consoleEncoding());
    return stream;
}

}  // namespace

MessageStream& Console::out() {
    return outStream();
}

MessageStream& Console::err() {
    return errStream();
}

void Console::redirect(TextSink* out, TextSink* err, TextEncoding encoding) {
    outStream() = MessageStream(out != nullptr ? *out : stdoutSink, encoding);
    errStream() = MessageStream(err != nullptr ? *err : stderrSink, encoding);
}

}  // namespace pelorin
