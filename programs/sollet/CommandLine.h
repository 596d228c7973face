// Sollet's command line: "-httpvrl" or "/httpvrl" (any case) followed by the address
// of the site's page.
#pragma once

#include <string>

#include "platform/text/Text.h"

// The start address among arguments (the program's own name left out), read in
// order: a switch ("-" or "/" and a name) named "httpvrl" ignoring case makes the
// arguments after it candidates; another switch is ignored and changes nothing; a
// candidate that is no switch becomes the address, a later one replacing it. "" when
// there is none.
std::string ReadStartUrl(const StringArray& arguments);
