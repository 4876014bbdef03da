// Macro projects: the macro panel and its image.
#pragma once

// Lamp colours of the macro panel, all four lamps off (start step).
void MacroInit();
