// The program's version, in one place: the VERSIONINFO of quillet.rc and the code read it from
// here. Plain macros and guards only, because the resource compiler reads this file too (and
// rc.exe neither joins adjacent string literals nor knows every pragma).
#ifndef QUILLET_VERSION_H
#define QUILLET_VERSION_H

#define QUILLET_VERSION_MAJOR 1
#define QUILLET_VERSION_MINOR 0
#define QUILLET_VERSION_PATCH 0
#define QUILLET_VERSION_BUILD 0
// The same four numbers as text; the Windows tests check that the two agree.
#define QUILLET_VERSION_TEXT "1.0.0.0"

#endif
