// zel/streams/streams.h — streams and tagged text.
#ifndef ZEL_STREAMS_STREAMS_H_
#define ZEL_STREAMS_STREAMS_H_

#include "zel/streams/linereader.h"
#include "zel/streams/mixedfstream.h"
#include "zel/streams/streamio.h"
#include "zel/streams/streamscan.h"
#include "zel/streams/streamsearch.h"
#include "zel/streams/tagscan.h"
#include "zel/streams/xmlrefs.h"

#endif  // ZEL_STREAMS_STREAMS_H_
