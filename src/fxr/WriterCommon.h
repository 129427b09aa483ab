#pragma once

// Pieces both writers share.

#include "model/FixClasses.h"

#include <string>
#include <string_view>

namespace writer {

class TLines {
public:
    void Line(std::string_view text)
    {
        text_ += text;
        text_ += "\r\n";
    }
    void Empty(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            text_ += "\r\n";
    }
    std::string &Text() { return text_; }

private:
    std::string text_;
};

inline const std::string Separator = "// " + std::string(77, '-');

// The whole text of a file in format 1.0 or 2.
std::string Format10(const TFixture &fixture);
std::string Format2(const TFixture &fixture);

using TSection = void (*)(TLines &out, const TFixture &fixture);
// The header, then the three sections with the banners between them.
std::string Compose(const TFixture &fixture, TSection header, TSection attributes, TSection commands,
                    TSection palettes);

std::string Quoted(std::string_view text);
void Introduction(TLines &out);
std::string DateLine(TDateTime date);
// Columns 1 to 10 of an attribute line.
std::string AttributeColumns(const TParameter &p);
void PaletteExplanation(TLines &out);
void PaletteValues(TLines &out, const TAttributeNameIndex &attributes, const TPalette &palette);

} // namespace writer
