#include "collision/polygon_soup_stream.h"

void phFileStream::Print(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    PrintList(format, arguments);
    va_end(arguments);
}

void phStdioFileStream::PrintList(const char* format, va_list arguments) {
    std::vfprintf(m_file, format, arguments);
}

size_t phStdioFileStream::Write(const void* data, size_t size, size_t count) {
    return std::fwrite(data, size, count, m_file);
}

size_t phStdioFileStream::Read(void* data, size_t size, size_t count) {
    return std::fread(data, size, count, m_file);
}

void phStdioFileStream::Flush() { std::fflush(m_file); }
