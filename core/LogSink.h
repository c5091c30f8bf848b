// Where the layers below the engine's Logger (core, reflection) send their log
// rows. The program installs a sink at start-up that queues each row in the
// log; until then, and after it is removed, rows are dropped. Main thread only.
#pragma once

// Receives one finished row (no line end).
using LogSink = void (*)(const char* row);

// Installs the sink; null removes it.
void SetLogSink(LogSink sink);
// printf-style, cut to 299 characters like the Logger's rows; an empty result
// sends nothing.
void SinkLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
