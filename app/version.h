// The program's version, in one place: the VERSIONINFO of quillet.rc, the manifest (made from
// quillet.manifest.in by CMake, which reads the four numbers below), the code and the release's
// file names (scripts/release) all take it from here. Plain macros and guards only, because the
// resource compiler reads this file too (and rc.exe neither joins adjacent string literals nor
// knows every pragma).
#ifndef QUILLET_VERSION_H
#define QUILLET_VERSION_H

#define QUILLET_VERSION_MAJOR 1
#define QUILLET_VERSION_MINOR 0
#define QUILLET_VERSION_PATCH 0
#define QUILLET_VERSION_BUILD 0

// "1.0.0.0", made from the numbers: one stringizing of the whole dotted sequence, since rc.exe
// would not join "1" "." "0".
#define QUILLET_STRINGIZE_(text) #text
#define QUILLET_DOTTED_(a, b, c, d) QUILLET_STRINGIZE_(a.b.c.d)
#define QUILLET_VERSION_TEXT                                                           \
  QUILLET_DOTTED_(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR, QUILLET_VERSION_PATCH, \
                  QUILLET_VERSION_BUILD)

#endif
