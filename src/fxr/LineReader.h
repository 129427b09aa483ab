#pragma once

#include <istream>
#include <string>

// Reads the physical lines of a fixture file and cleans them: at most 255 characters a line,
// the keep-marker "//++" dropped, "//" comments cut (the rest trimmed), tabs made blanks and,
// except for attribute lines, double quotes removed. Counts every line it reads.
class TLineReader {
public:
    explicit TLineReader(std::istream &in) : in_(*in.rdbuf()) {}

    // True when nothing is left to read: the end of the data or a character with code 26.
    bool Eof();
    std::string ReadLine();
    std::string ReadAttributeLine();
    int LineNumber() const { return lineNumber_; }

    static constexpr std::size_t MaxLineLength = 255;
    static std::string Clean(std::string line, bool keepQuotes);

private:
    std::string ReadPhysicalLine();

    std::streambuf &in_;
    int lineNumber_ = 0;
    bool ended_ = false;
};
