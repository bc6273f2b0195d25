// The lines of a data file. The file is opened in binary mode and the text-mode rules (CR LF reads
// as LF, a lone CR stays, the first Ctrl-Z ends the file) are applied here, so that every platform
// reads the same bytes as the same lines. The classic reader sees lines of at most 255 characters
// (a longer text line is read as several lines, as the desktop program always has); the life-data
// reader sees whole lines of any length, since a piece of a line read as a record would change data.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Buffered reader of the file's text, one line of at most 255 characters at a time.
struct TextReader {
    static constexpr int lineCapacity = 256; // 255 characters and the terminating NUL
    static constexpr int endOfFileByte = 0x1A;

    std::FILE* file;
    unsigned char buffer[1 << 16];
    std::size_t length;
    std::size_t position;
    bool ended;
    bool failed;
    char line[lineCapacity];

    void start(std::FILE* f)
    {
        file = f;
        length = position = 0;
        ended = failed = false;
    }

    int nextByte()
    {
        if (position == length) {
            if (ended)
                return EOF;
            length = std::fread(buffer, 1, sizeof buffer, file);
            position = 0;
            if (length == 0) {
                failed = std::ferror(file) != 0;
                ended = true;
                return EOF;
            }
        }
        return buffer[position++];
    }

    void pushBack() { --position; }

    // One character of the text after the line-end and end-of-file rules, or EOF.
    int nextChar()
    {
        const int c = nextByte();
        if (c == endOfFileByte) {
            ended = true;
            length = position = 0;
            return EOF;
        }
        if (c == '\r') {
            const int following = nextByte();
            if (following == '\n')
                return '\n';
            if (following != EOF)
                pushBack();
        }
        return c;
    }

    // A line that lies whole in the buffer, ends with a LF within `maximum` characters and holds no
    // CR and no Ctrl-Z is its own bytes there, ended by its LF, which `size` counts; null (nothing
    // taken) for any other line.
    const char* nextPlainLine(std::size_t maximum, std::size_t& size)
    {
        const unsigned char* start = buffer + position;
        const std::size_t available = length - position;
        const std::size_t limit = available < maximum ? available : maximum;
        for (std::size_t k = 0; k < limit; ++k) {
            const unsigned char c = start[k];
            if (c == '\n') {
                position += k + 1;
                size = k + 1;
                return reinterpret_cast<const char*>(start);
            }
            if (c == '\r' || c == endOfFileByte)
                return nullptr;
        }
        return nullptr;
    }

    // The next line, or null at the end of the text. Most lines are read in place (nextPlainLine);
    // the others are put together in `line` by the text-mode rules and ended by a NUL. The line test
    // and the number conversion never look past a LF, so a line reads the same in either form.
    const char* nextLine()
    {
        std::size_t size = 0;
        if (const char* plain = nextPlainLine(lineCapacity - 1, size))
            return plain;
        int count = 0;
        while (count < lineCapacity - 1) {
            const int c = nextChar();
            if (c == EOF)
                break;
            line[count++] = static_cast<char>(c);
            if (c == '\n')
                break;
        }
        line[count] = '\0';
        return count > 0 ? line : nullptr;
    }
};

// The same text as whole lines of any length, for the life-data reader.
struct WholeLineReader {
    TextReader text;
    std::string assembled;

    void start(std::FILE* f) { text.start(f); }
    bool failed() const { return text.failed; }

    // The next line with its LF (the last line of a file may have none), NUL bytes included; empty
    // at the end of the text. It stays valid until the next call.
    std::string_view nextLine();
};

// True when `line` (as read, its LF included, NUL-terminated) begins like a number.
bool isDataLine(const char* line);
