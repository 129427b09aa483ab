#pragma once

class TFixture;
class TPalette;

// Gives a palette without a complete colour the colour of its cyan, magenta and yellow values
// (channel names containing "Cyan", "Magenta", "Yellow"), on the 8-bit scale the user sees:
// Red = 255 - C div 257 and so on. Without all three the palette has no colour. A palette whose
// colour is complete is left alone; otherwise the fixture counts as changed.
void ColorFromCMY(TFixture &fixture, TPalette &palette);
