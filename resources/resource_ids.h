/* Resource ids shared by the code and the resource scripts. */
#pragma once

#define IDI_APPLICATION_ICON 128

/* Fixed, language-neutral texts. */
#define IDS_INITIALIZATION_ERROR 0xF200   /* "Initialization Error" */
#define IDS_INCOMPATIBLE_PROCESSOR 0xF201 /* the three-language processor message */
#define IDS_ERROR 0xF202                  /* "Error" */
