/* String ids of the framework's own texts (language-neutral string table); shared with the
   resource compiler. */
#pragma once
#define FW_IDS_PARSE_STRING_SIZE 0xF110 /* "Enter no more than %1 characters." */
