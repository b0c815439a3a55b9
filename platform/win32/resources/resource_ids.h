#pragma once
// The numbers of the program's resources, shared by slidesaver.rc and the code that loads them.

// The icon: ID_APP, where Explorer and the screen saver settings look for a screen saver's icon.
#define SLIDESAVER_ICON 100
