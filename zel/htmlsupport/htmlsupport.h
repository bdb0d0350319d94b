// zel/htmlsupport/htmlsupport.h — HTML support: the template producer,
// character references, HTML text and URL helpers.
#ifndef ZEL_HTMLSUPPORT_HTMLSUPPORT_H_
#define ZEL_HTMLSUPPORT_HTMLSUPPORT_H_

#include "zel/htmlsupport/entities.h"
#include "zel/htmlsupport/htmltext.h"
#include "zel/htmlsupport/producer.h"
#include "zel/htmlsupport/urlcode.h"

#endif  // ZEL_HTMLSUPPORT_HTMLSUPPORT_H_
