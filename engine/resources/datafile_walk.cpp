#include "engine/resources/datafile_walk.h"

#include <allegro.h>

namespace orvel {

namespace {

// The library reads an object name into a fixed buffer on its stack; names
// the build writes are file names, far shorter than this.
const uint32_t MAX_NAME_LENGTH = 255;
// Deeper nesting than the resource tree ever has; keeps the walk's recursion
// and the library's bounded.
const int MAX_DEPTH = 16;
// A font object of the current form starts with this size field.
const uint16_t FONT_CURRENT_FORM = 0;
// Unicode has no characters above this one.
const uint32_t LAST_CHARACTER = 0x10FFFF;
// The game's font is monochrome, one bit a pixel; only that glyph form is
// taken, so that every glyph's byte count is certain.
const uint8_t MONO_GLYPHS = 1;
// The datafile tool's own note about the file, a plain object of this type.
const uint32_t TOOL_INFORMATION = DAT_ID('i', 'n', 'f', 'o');

// Reads big-endian numbers from a span of bytes, never past its end.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : position(data), end(data + size) {}

    size_t Left() const { return size_t(end - position); }
    bool AtEnd() const { return position == end; }

    bool Read8(uint8_t& value) {
        if (Left() < 1) {
            return false;
        }
        value = *position++;
        return true;
    }

    bool Read16(uint16_t& value) {
        if (Left() < 2) {
            return false;
        }
        value = uint16_t(position[0] << 8 | position[1]);
        position += 2;
        return true;
    }

    bool Read32(uint32_t& value) {
        if (Left() < 4) {
            return false;
        }
        value = uint32_t(position[0]) << 24 | uint32_t(position[1]) << 16 |
                uint32_t(position[2]) << 8 | uint32_t(position[3]);
        position += 4;
        return true;
    }

    // Splits off the next `size` bytes as a span of their own.
    bool Take(uint64_t size, Cursor& part) {
        if (size > Left()) {
            return false;
        }
        part = Cursor(position, size_t(size));
        position += size;
        return true;
    }

private:
    const uint8_t* position;
    const uint8_t* end;
};

bool WalkObjectList(Cursor& list, int depth);

bool WalkProperty(Cursor& object) {
    uint32_t type = 0;
    uint32_t size = 0;
    Cursor text(nullptr, 0);
    if (!object.Read32(type) || !object.Read32(size) || !object.Take(size, text)) {
        return false;
    }
    return type != DAT_NAME || size <= MAX_NAME_LENGTH;
}

bool WalkGlyphs(Cursor& font, uint32_t first, uint32_t last) {
    for (uint64_t character = first; character <= last; ++character) {
        uint16_t width = 0;
        uint16_t height = 0;
        if (!font.Read16(width) || !font.Read16(height) || width == 0 || height == 0) {
            return false;
        }
        const uint64_t rowBytes = (uint64_t(width) + 7) / 8;
        Cursor pixels(nullptr, 0);
        if (!font.Take(rowBytes * height, pixels)) {
            return false;
        }
    }
    return true;
}

bool WalkFont(Cursor& font) {
    uint16_t form = 0;
    uint16_t ranges = 0;
    if (!font.Read16(form) || form != FONT_CURRENT_FORM || !font.Read16(ranges) || ranges == 0) {
        return false;
    }
    for (uint16_t range = 0; range < ranges; ++range) {
        uint8_t depth = 0;
        uint32_t first = 0;
        uint32_t last = 0;
        if (!font.Read8(depth) || depth != MONO_GLYPHS || !font.Read32(first) ||
            !font.Read32(last) || first > last || last > LAST_CHARACTER ||
            !WalkGlyphs(font, first, last)) {
            return false;
        }
    }
    return font.AtEnd();
}

bool WalkSample(Cursor& sample) {
    uint16_t bits = 0;
    uint16_t frequency = 0;
    uint32_t length = 0;
    if (!sample.Read16(bits) || !sample.Read16(frequency) || !sample.Read32(length)) {
        return false;
    }
    // Negative bit counts mark stereo.
    const int16_t signedBits = int16_t(bits);
    const int channels = signedBits < 0 ? 2 : 1;
    const int sampleBits = signedBits < 0 ? -signedBits : signedBits;
    if (sampleBits != 8 && sampleBits != 16) {
        return false;
    }
    return uint64_t(length) * channels * (sampleBits / 8) == sample.Left();
}

bool WalkObject(Cursor& list, int depth) {
    uint32_t type = 0;
    if (!list.Read32(type)) {
        return false;
    }
    while (type == DAT_PROPERTY) {
        if (!WalkProperty(list) || !list.Read32(type)) {
            return false;
        }
    }
    uint32_t stored = 0;
    uint32_t unpacked = 0;
    Cursor body(nullptr, 0);
    // Equal sizes mark an object stored uncompressed.
    if (!list.Read32(stored) || !list.Read32(unpacked) || stored != unpacked ||
        stored > uint32_t(INT32_MAX) || !list.Take(stored, body)) {
        return false;
    }
    switch (type) {
        case DAT_FILE:
            return WalkObjectList(body, depth + 1);
        case DAT_FONT:
            return WalkFont(body);
        case DAT_SAMPLE:
            return WalkSample(body);
        case DAT_DATA:
        case TOOL_INFORMATION:
            return true;
        default:
            return false;
    }
}

// The library looks for an object by reading on to the end of its parent, not
// by the count, so the objects must fill the list exactly.
bool WalkObjectList(Cursor& list, int depth) {
    uint32_t count = 0;
    if (depth > MAX_DEPTH || !list.Read32(count)) {
        return false;
    }
    for (uint32_t object = 0; object < count; ++object) {
        if (!WalkObject(list, depth)) {
            return false;
        }
    }
    return list.AtEnd();
}

}  // namespace

bool IsSoundDatafile(const uint8_t* data, size_t size) {
    Cursor file(data, size);
    uint32_t packing = 0;
    uint32_t magic = 0;
    if (!file.Read32(packing) || packing != uint32_t(F_NOPACK_MAGIC) || !file.Read32(magic) ||
        magic != uint32_t(DAT_MAGIC)) {
        return false;
    }
    return WalkObjectList(file, 0);
}

}  // namespace orvel
