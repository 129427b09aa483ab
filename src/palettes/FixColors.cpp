#include "FixColors.h"

#include "model/FixClasses.h"

void ColorFromCMY(TFixture &fixture, TPalette &palette)
{
    if (palette.Red != -1 && palette.Green != -1 && palette.Blue != -1)
        return;
    int32_t cyan = -1, magenta = -1, yellow = -1;
    for (const TPaletteLine &value : palette.Lines) {
        if (value.Value < 0)
            continue;
        if (value.ChannelName.find("Cyan") != std::string::npos)
            cyan = value.Value;
        if (value.ChannelName.find("Magenta") != std::string::npos)
            magenta = value.Value;
        if (value.ChannelName.find("Yellow") != std::string::npos)
            yellow = value.Value;
    }
    if (cyan >= 0 && magenta >= 0 && yellow >= 0) {
        // A stored value can exceed the 16-bit scale; the colour stays within 0 to 255.
        const auto component = [](int32_t v) { return 255 - std::min(v / 257, 255); };
        palette.Red = component(cyan);
        palette.Green = component(magenta);
        palette.Blue = component(yellow);
    } else {
        palette.Red = palette.Green = palette.Blue = -1;
    }
    fixture.Saved = false;
}
