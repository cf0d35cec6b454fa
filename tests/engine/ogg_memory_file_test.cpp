#include "engine/sound/ogg_memory_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace {

using orvel::OggMemoryFile;

enum class Op { Read, Seek };

struct Step {
    Op op;
    int64_t a;  // read: element size; seek: offset
    int64_t b;  // read: element count; seek: whence
    long result;
    long position;
    const char* bytes;  // what a read copied
};

TEST(OggMemoryFileTest, CallbacksReadSeekAndTellWithinTheData) {
    OggMemoryFile file;
    file.Assign(std::vector<char>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    const ov_callbacks callbacks = OggMemoryFile::Callbacks();
    const int64_t huge = std::numeric_limits<int64_t>::max();
    const Step steps[] = {
        {Op::Read, 1, 4, 4, 4, "0123"},
        {Op::Read, 2, 2, 4, 8, "4567"},
        {Op::Read, 1, 5, 2, 10, "89"},  // cut to what is left
        {Op::Read, 1, 1, 0, 10, ""},
        {Op::Seek, 0, SEEK_SET, 0, 0, ""},
        {Op::Seek, 10, SEEK_SET, 0, 10, ""},   // the end itself is a place
        {Op::Seek, 11, SEEK_SET, -1, 10, ""},  // one past the end is not
        {Op::Seek, -1, SEEK_SET, -1, 10, ""},
        {Op::Seek, -3, SEEK_CUR, 0, 7, ""},
        {Op::Seek, 4, SEEK_CUR, -1, 7, ""},
        {Op::Seek, 3, SEEK_CUR, 0, 10, ""},
        {Op::Seek, -11, SEEK_CUR, -1, 10, ""},
        {Op::Seek, huge, SEEK_CUR, -1, 10, ""},
        {Op::Seek, -huge, SEEK_CUR, -1, 10, ""},
        {Op::Seek, 2, SEEK_SET, 0, 2, ""},
        {Op::Seek, -1, SEEK_END, -1, 2, ""},  // only offset 0 from the end
        {Op::Seek, 0, SEEK_END, 0, 10, ""},
        {Op::Seek, 0, 7, -1, 10, ""},  // no such origin
        {Op::Seek, 5, SEEK_SET, 0, 5, ""},
        {Op::Read, 1, std::numeric_limits<int64_t>::max(), 5, 10, "56789"},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        char buffer[16] = {};
        long result = 0;
        if (step.op == Op::Read) {
            result = static_cast<long>(callbacks.read_func(buffer, static_cast<size_t>(step.a),
                                                           static_cast<size_t>(step.b), &file));
            EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max(result, 0L))), step.bytes);
        } else {
            result = callbacks.seek_func(&file, step.a, static_cast<int>(step.b));
        }
        EXPECT_EQ(result, step.result);
        EXPECT_EQ(callbacks.tell_func(&file), step.position);
    }
    EXPECT_EQ(callbacks.close_func(&file), 0);
    EXPECT_EQ(file.GetSize(), 10u);
}

TEST(OggMemoryFileTest, AnEmptyFileReadsNothing) {
    OggMemoryFile file;
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 1, 4), 0u);
    EXPECT_EQ(file.Seek(0, SEEK_END), 0);
    EXPECT_EQ(file.Seek(1, SEEK_SET), -1);
    EXPECT_EQ(file.Tell(), 0);
}

}  // namespace
