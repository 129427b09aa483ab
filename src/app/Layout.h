#pragma once

// Set once at start-up: 3 in the standard layout, 2 in the 800 layout. The palette icon grid puts
// this many icons in a row; the add-channel dialog is given the compact height when it is 2.
extern int LayoutColumns;
