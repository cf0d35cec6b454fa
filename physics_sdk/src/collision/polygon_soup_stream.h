// phFileStream: the file stream through which the polygon soup writes and
// reads its stored forms. It offers formatted text, raw writes and reads of
// count items of a size, and a flush; phStdioFileStream puts it on a C
// stdio FILE that the caller opens and closes.
#ifndef PHYSICS_SDK_COLLISION_POLYGON_SOUP_STREAM_H
#define PHYSICS_SDK_COLLISION_POLYGON_SOUP_STREAM_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>

class phFileStream {
public:
    virtual ~phFileStream() = default;

    // Writes printf-style formatted text.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    virtual void PrintList(const char* format, va_list arguments) = 0;
    // Writes count items of size bytes; returns the number of whole items
    // written.
    virtual size_t Write(const void* data, size_t size, size_t count) = 0;
    // Reads count items of size bytes; returns the number of whole items
    // read.
    virtual size_t Read(void* data, size_t size, size_t count) = 0;
    virtual void Flush() = 0;
};

class phStdioFileStream : public phFileStream {
public:
    // The stream does not own the file.
    explicit phStdioFileStream(FILE* file) : m_file(file) {}

    void PrintList(const char* format, va_list arguments) override;
    size_t Write(const void* data, size_t size, size_t count) override;
    size_t Read(void* data, size_t size, size_t count) override;
    void Flush() override;

private:
    FILE* m_file;
};

#endif
