#include "engine/ui/word_wrap.h"

#include <allegro.h>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"

namespace orvel {

namespace {

const char LINE_BREAK = '*';
const char BLANK = ' ';

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

int Width(FONT* font, const std::string& text) { return text_length(font, text.c_str()); }

// Appends the lines of one paragraph that is wider than the field.
void FillParagraph(FONT* font, const std::string& paragraph, int fieldWidth,
                   std::vector<std::string>& lines) {
    std::string line;
    bool lineStarted = false;
    for (const std::string& word : Split(paragraph, BLANK)) {
        if (Width(font, word) > fieldWidth) {
            throw ExceptionGeneral("WordWrap: word is longer than fieldWidth: " + word);
        }
        if (!lineStarted) {
            line = word;
            lineStarted = true;
        } else if (Width(font, line + BLANK + word) <= fieldWidth) {
            line += BLANK + word;
        } else {
            lines.push_back(line);
            line = word;
        }
    }
    lines.push_back(line);
}

}  // namespace

std::vector<std::string> WordWrap(FONT* font, const std::string& text, int fieldWidth) {
    if (font == nullptr) {
        throw ExceptionGeneral("WordWrap: no font to measure the text with");
    }
    if (fieldWidth < 1) {
        throw ExceptionGeneral("WordWrap: fieldWidth must be at least 1, not " +
                               IntToString(fieldWidth));
    }
    std::vector<std::string> lines;
    for (const std::string& paragraph : Split(text, LINE_BREAK)) {
        if (Width(font, paragraph) <= fieldWidth) {
            lines.push_back(paragraph);
        } else {
            FillParagraph(font, paragraph, fieldWidth, lines);
        }
    }
    return lines;
}

}  // namespace orvel
