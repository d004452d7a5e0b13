// Resource ids of quillet.rc, shared with the code that loads them. Plain macros and guards only,
// because the resource compiler reads this file too.
#ifndef QUILLET_RESOURCE_H
#define QUILLET_RESOURCE_H

// Id 1, the lowest: Explorer shows the first icon group as the program file's icon.
#define IDI_QUILLET 1
// The picture in FormQuillet's Picture1.
#define IDB_PICTURE1 101

#endif
