// The scope information text: the header of the trace present, laid out for
// reading (keys padded to a column instead of a tab).
#pragma once
#include <string>

// The text of the trace's header values.
std::string ScopeInfoText();
// Puts the text into the scope information panel's text box, replacing what
// it held. GUI thread.
void ScopeCreateInfoData();
