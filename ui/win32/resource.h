/* Identifiers of the program's resources, shared by mervalin.rc and the
   code. Plain C preprocessor only: the resource compiler reads this too. */
#ifndef MERVALIN_UI_WIN32_RESOURCE_H
#define MERVALIN_UI_WIN32_RESOURCE_H

/* The lowest-numbered icon is the one Explorer shows for the .exe. */
#define IDI_MERVALIN 1

#endif
