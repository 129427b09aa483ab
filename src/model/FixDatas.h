#pragma once

#include "FixClasses.h"

// The one fixture the editor works on, from start-up to the end of the program.
TFixture &CurrentFixture();
