/* Identifiers of the Change Record dialog and its controls: its lists, boxes and field are
   named after the controls of Main they mirror. Plain macros: the resource compiler reads
   them too. */
#pragma once

#define CHANGE_RECORD_DIALOG 300

#define CHANGE_PROGRAM_LABEL 310 /* "&Program:" */
#define CHANGE_TEXT1 311         /* the program, read-only */
#define CHANGE_HOUR_LABEL 312    /* "Hou&r:" */
#define CHANGE_LIST2 313         /* the hour, "01" ... "12" */
#define CHANGE_MINUTE_LABEL 314  /* "M&inute:" */
#define CHANGE_LIST3 315         /* the minute */
#define CHANGE_HALF_LABEL 316    /* "&AM/PM:" */
#define CHANGE_LIST1 317         /* "AM", "PM" */
#define CHANGE_STYLE_LABEL 318   /* "Ru&n style:" */
#define CHANGE_LIST4 319         /* the run style */
#define CHANGE_CHECK1 320        /* CHANGE_CHECK1 + index: the weekdays, 0 Monday ... 6 Sunday */
