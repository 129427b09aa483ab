#pragma once

#include <array>
#include <string_view>

// Keywords and code lists of the fixture file format. Code lists hold upper-case codes, each
// followed by a semicolon; a code's position, counted from 1, is the value kept in the model.

namespace kw {
inline constexpr std::string_view KeepMarker = "//++";
inline constexpr std::string_view FormatVersion = "FORMAT_VERSION";
inline constexpr std::string_view Version = "VERSION";
inline constexpr std::string_view Author = "AUTHOR";
inline constexpr std::string_view Revision = "REVISION";
inline constexpr std::string_view Date = "DATE";
inline constexpr std::string_view Comments = "COMMENTS";
inline constexpr std::string_view EndComments = "ENDCOMMENTS";
inline constexpr std::string_view Fixture = "FIXTURE";
inline constexpr std::string_view Brand = "BRAND";
inline constexpr std::string_view Type = "TYPE";
inline constexpr std::string_view PanAngleMin = "PAN_ANGLE_MIN";
inline constexpr std::string_view PanAngleMax = "PAN_ANGLE_MAX";
inline constexpr std::string_view TiltAngleMin = "TILT_ANGLE_MIN";
inline constexpr std::string_view TiltAngleMax = "TILT_ANGLE_MAX";
inline constexpr std::string_view DmxChannels = "DMX_CHANNELS";
inline constexpr std::string_view DmxSplitChannels = "DMX_SPLIT_CHANNELS";
inline constexpr std::string_view Parameters = "PARAMETERS";
inline constexpr std::string_view EndParameters = "ENDPARAMETERS";
inline constexpr std::string_view Commands = "COMMANDS";
inline constexpr std::string_view EndCommands = "ENDCOMMANDS";
inline constexpr std::string_view CommandName = "COMMANDNAME";
inline constexpr std::string_view Palettes = "PALETTES";
inline constexpr std::string_view EndPalettes = "ENDPALETTES";
inline constexpr std::string_view PaletteType = "PALETTETYPE";
inline constexpr std::string_view PaletteName = "PALETTENAME";
inline constexpr std::string_view PaletteDes = "PALETTEDES";
inline constexpr std::string_view PaletteColor = "PALETTECOLOR";
inline constexpr std::string_view PaletteBitmap = "PALETTEBITMAP";
} // namespace kw

namespace codes {
inline constexpr std::string_view ChannelType = "IN;PT;CO;GB;PR;BL;";
inline constexpr std::string_view ChannelTypeShort = "I;F;C;B;";
inline constexpr std::string_view PaletteType = "IN;PT;CO;GB;PR;BL;SP;";
inline constexpr std::string_view PaletteTypeShort = "I;F;C;B;B;B;S;";
inline constexpr std::string_view FixtureType = "MOVING_MIRROR;MOVING_HEAD;DIMMER;OTHER;";
inline constexpr std::string_view ControlType = "HTP;LTP;";
inline constexpr std::string_view Path = "LINEAR;SNAP_START;SNAP_END;";
inline constexpr std::string_view Width = "8;16;";
inline constexpr std::string_view HexDigits = "0;1;2;3;4;5;6;7;8;9;A;B;C;D;E;F;";
inline constexpr std::string_view YesNo = "NO;YES;";

inline constexpr int No = 1;
inline constexpr int Yes = 2;
} // namespace codes

// Output names by value; index 0 is the placeholder for a value no code matched. The placeholder is
// in no code list, so it reads back as 0 and keeps every later column in its place.
namespace names {
inline constexpr std::string_view Unknown = "??";
inline constexpr std::array<std::string_view, 7> ChannelType = {Unknown, "IN", "PT", "CO", "GB", "PR", "BL"};
inline constexpr std::array<std::string_view, 8> PaletteType = {Unknown, "IN", "PT", "CO", "GB", "PR", "BL", "SP"};
inline constexpr std::array<std::string_view, 5> FixtureType = {Unknown, "moving_mirror", "moving_head", "dimmer", "other"};
inline constexpr std::array<std::string_view, 3> ControlType = {Unknown, "HTP", "LTP"};
inline constexpr std::array<std::string_view, 4> Path = {"        ??", "    LINEAR", "SNAP_START", "  SNAP_END"};

// The name of a value, or the placeholder for one outside the list.
template <std::size_t N>
constexpr std::string_view Of(const std::array<std::string_view, N> &list, int value)
{
    return value > 0 && static_cast<std::size_t>(value) < N ? list[static_cast<std::size_t>(value)] : list[0];
}
} // namespace names

enum TChannelType : unsigned char { ctIntensity = 1, ctPanTilt, ctColour, ctGobo, ctPrism, ctBlade };
enum TPaletteType : unsigned char { ptIntensity = 1, ptPanTilt, ptColour, ptGobo, ptPrism, ptBlade, ptSpecial };
enum TFixtureType : unsigned char { ftMovingMirror = 1, ftMovingHead, ftDimmer, ftOther };
enum TControlType : unsigned char { ctlHTP = 1, ctlLTP };
enum TPathType : unsigned char { pathLinear = 1, pathSnapStart, pathSnapEnd };
