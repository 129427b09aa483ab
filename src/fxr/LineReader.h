#pragma once

#include <istream>
#include <memory>
#include <string>

// Reads the physical lines of a fixture file and cleans them: at most 255 characters a line,
// the keep-marker "//++" dropped, "//" comments cut (the rest trimmed), tabs made blanks and,
// except for attribute lines, double quotes removed. Counts every line it reads.
//
// It reads the stream in blocks of its own and keeps only the first characters of a line, so a
// line of any length costs bounded memory and time linear in its length.
class TLineReader {
public:
    explicit TLineReader(std::istream &in) : in_(*in.rdbuf()), buffer_(new char[BufferSize + Slack]) {}

    // True when nothing is left to read: the end of the data or a character with code 26.
    bool Eof();
    std::string ReadLine();
    std::string ReadAttributeLine();
    // The same into a text the caller keeps, whose storage is used again line after line.
    void ReadLine(std::string &line);
    void ReadAttributeLine(std::string &line);
    int LineNumber() const { return lineNumber_; }

    static constexpr std::size_t MaxLineLength = 255;
    static std::string Clean(std::string line, bool keepQuotes);
    static void CleanInPlace(std::string &line, bool keepQuotes);

private:
    static constexpr std::size_t BufferSize = 64 * 1024;
    // Room behind the data for a block of 16 characters read from its last ones; Fill clears it.
    static constexpr std::size_t Slack = 16;

    void ReadPhysicalLine(std::string &line);
    // Reads and cleans the next line at once when it lies whole in the buffer and needs no more
    // than its quotes removed, as most lines do; false, having read nothing, otherwise.
    bool ReadPlainLine(std::string &line, bool keepQuotes);
    // False when the stream has nothing more.
    bool Fill();

    std::streambuf &in_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    std::size_t mark_ = 0; // the first character with code 26 in the buffer, or end_
    int lineNumber_ = 0;
    bool ended_ = false;
    // The stream gave less than a block, which it does only once it has nothing more.
    bool drained_ = false;
};
