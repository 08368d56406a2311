/* The program's version, in one place: read by the resource script (About
   box, version resource), the page footer and the build. Plain macros, so
   that the resource compiler can read this file too. */
#pragma once

#define ORVELLE_VERSION_TEXT "4.00"
#define ORVELLE_VERSION_WORDS 4, 0, 0, 0
